#include "messages/frmMessage_Sended.h"

#include "addressbook/mdlGroups.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "app/mdlMainOutbox.h"
#include "messages/MessageLists.h"
#include "messages/MessageRows.h"
#include "messages/SavedSentLists.h"
#include "messages/frmMessage_Export.h"
#include "platform/DbDates.h"
#include "platform/Err.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/Recordset.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"
#include "sending/frmSendMessages.h"

using rt::toPixels;

namespace {

const QString panelKey = QStringLiteral("frmMessage_Sended");

// Columns of the list, 1-based.
constexpr int titleColumn = 5;

[[noreturn]] void raiseDb(const rt::DbResult& result)
{
    rt::Raise(result.number, result.description, QStringLiteral("SQLite"));
}

QString text(const rt::Recordset& rs, const char* name)
{
    return mdlDataBase::NullToEmpty(rs.field(QLatin1String(name))).toString();
}

} // namespace

frmMessage_Sended::frmMessage_Sended() : rt::Form(QStringLiteral("frmMessage_Sended"))
{
    mdlMain::SetUpDockedWindow(*this, QStringLiteral("Απεσταλμένα Μηνύματα"));

    m_images16 = savedsent::NewListImages(this, 2);
    m_images25 = new rt::ImageList(this);
    m_images25->setObjectName(QStringLiteral("Images25x25"));

    m_formTitle = mdlMain::AddFormTitle(*this);

    m_toolbar = new rt::Toolbar(QStringLiteral("Toolbar"), this);
    mdlMain::AddToolbarButtons(*m_toolbar, *m_images25, savedsent::ToolbarPicture,
                               {
                                   {"btnSend", "Αποστολή", "Αποστολή Μηνύματος"},
                                   {"btnDelete", "Διαγραφή", "Διαγραφή Μηνύματος"},
                                   {"btnDetails", "Ιδιότητες", "Ιδιότητες Μηνύματος"},
                                   {"btnExport", "Εξαγωγή", "Εξαγωγή Μηνύματος σε Αρχείο"},
                               });
    connect(m_toolbar, &rt::Toolbar::ButtonClick, this, &frmMessage_Sended::Toolbar_ButtonClick);

    m_sendList = savedsent::NewMessageList(this, QStringLiteral("SendList"), m_images16);
    m_sendList->AddColumn(QStringLiteral("Αποστολή"), 1900);
    m_sendList->AddColumn(QStringLiteral("Προγ. Αποστολή"), 1900);
    m_sendList->AddColumn(QStringLiteral("Τύπος"), 1100);
    m_sendList->AddColumn(QStringLiteral("Τίτλος"), 3000);
    m_sendList->AddColumn(QStringLiteral("Παραλήπτες"), 1200);
    m_sendList->setGeometry(0, toPixels(mdlMain::FormTitleHeight), width(),
                            height() - toPixels(mdlMain::FormTitleHeight));
    connect(m_sendList, &rt::ListView::ColumnClick, this, &frmMessage_Sended::SendList_ColumnClick);
    connect(m_sendList, &rt::ListView::MouseUp, this, &frmMessage_Sended::SendList_MouseUp);
    // The buttons that need exactly one message follow the selection as it changes.
    connect(m_sendList, &rt::ListView::ItemClick, this, [this] { SetControlState(); });

    m_mnPopup = new PopupMenuControl(QStringLiteral("mnPopup"), this);
    connect(m_mnPopup, &PopupMenuControl::Click, this, &frmMessage_Sended::mnPopup_Click);

    Form_Resize();
}

// ---- load and unload ------------------------------------------------------------------

void frmMessage_Sended::Form_Load()
{
    mdlMain::DockChildForm(*this, *m_formTitle, *m_toolbar);
    // A failing read still leaves the window docked, so that it can be closed again.
    mdlDialogs::ReportFailure([this] { FillSendList(); });
    m_mnPopup->AddMenuItem(QStringLiteral("mnSend"), QStringLiteral("Αποστολή"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnSep"), QStringLiteral("-"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnDetails"), QStringLiteral("Ιδιότητες"));
    mdlMain::AddStatusPanel(panelKey, QString());
    SetControlState();
}

void frmMessage_Sended::Form_Unload(bool& cancel)
{
    // Never refuses.
    Q_UNUSED(cancel);
    mdlMain::UndockChildForm(*this, *m_toolbar, {panelKey});
}

// ---- the list -------------------------------------------------------------------------

void frmMessage_Sended::FillSendList()
{
    {
        mdlMain::BusyPointer busy(13);
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT * FROM sended_messages"), {}}, rt::RecordsetType::Snapshot);
        if (!rs.isOpen())
            raiseDb(rs.status());
        m_sendList->hide();
        struct Shown {
            rt::ListView* list;
            ~Shown() { list->show(); }
        } shown{m_sendList};
        rt::ListItems items = m_sendList->ListItems();
        for (; !rs.eof(); rs.moveNext()) {
            const QVariant schdate = rs.field(QStringLiteral("msg_schdate"));
            const bool scheduled = schdate.isValid() && !schdate.isNull();
            rt::ListItem item =
                items.Add(QStringLiteral("MSG_") + rs.field(QStringLiteral("msg_id")).toString(),
                          QString(), scheduled ? 2 : 1);
            item.setSubItems(1, rt::shortDateFromDb(rs.field(QStringLiteral("msg_date"))) +
                                    QLatin1Char(' ') +
                                    rt::shortTimeFromDb(rs.field(QStringLiteral("msg_time"))));
            if (scheduled)
                item.setSubItems(2,
                                 rt::shortDateFromDb(schdate) + QLatin1Char(' ') +
                                     rt::shortTimeFromDb(rs.field(QStringLiteral("msg_schtime"))));
            item.setSubItems(3, rs.field(QStringLiteral("msg_flash")).toBool()
                                    ? QStringLiteral("Flash")
                                    : QStringLiteral("Κανονικό"));
            item.setSubItems(4, text(rs, "msg_title"));
            const QVariant phones = rs.field(QStringLiteral("msg_phonelist"));
            item.setSubItems(5, QString::number(phones.isValid() && !phones.isNull()
                                                    ? mdlGroups::CountListEntries(phones.toString())
                                                    : 0));
        }
        rs.close();
        // The list control marked its first item as the selected one.
        if (items.Count() > 0)
            savedsent::SelectOnly(*m_sendList, items.Item(1));
    }
    SetControlState();
}

void frmMessage_Sended::RefreshSendList()
{
    // Failures are ignored: the list shows what could be read.
    try {
        const rt::ListItem selected = m_sendList->SelectedItem();
        const QString key = selected ? selected.Key() : QString();
        m_sendList->ListItems().Clear();
        FillSendList();
        const rt::ListItem again = m_sendList->ListItems().Item(key);
        if (!key.isEmpty() && again) {
            savedsent::SelectOnly(*m_sendList, again);
            again.EnsureVisible();
        }
    } catch (const rt::RuntimeError&) {
    }
}

int frmMessage_Sended::SelectedCount()
{
    return mdlGroups::SelectedItemCount(*m_sendList);
}

void frmMessage_Sended::SetControlState()
{
    const int count = m_sendList->ListItems().Count();
    const bool one = SelectedCount() == 1;
    m_toolbar->setButtonEnabled(QStringLiteral("btnSend"), one);
    m_toolbar->setButtonEnabled(QStringLiteral("btnDelete"), count > 0);
    m_toolbar->setButtonEnabled(QStringLiteral("btnDetails"), one);
    m_toolbar->setButtonEnabled(QStringLiteral("btnExport"), count > 0);
    // Before the load has added the panel there is no count to show yet.
    try {
        mdlMain::SetStatusPanel(panelKey, QString::number(count) + QStringLiteral(" Μηνύματα"));
    } catch (const rt::RuntimeError&) {
    }
}

void frmMessage_Sended::SendList_ColumnClick(int column)
{
    // Always ascending, by the column's text.
    m_sendList->setSortKey(column - 1);
    m_sendList->setSorted(true);
}

void frmMessage_Sended::SendList_MouseUp(int button, int shift, const QPoint& pos)
{
    Q_UNUSED(shift);
    Q_UNUSED(pos);
    if (button != 2)
        return;
    const bool one = SelectedCount() == 1;
    m_mnPopup->setMenuState(QStringLiteral("mnSend"), one);
    m_mnPopup->setMenuState(QStringLiteral("mnDelete"), m_sendList->ListItems().Count() > 0);
    m_mnPopup->setMenuState(QStringLiteral("mnDetails"), one);
    m_mnPopup->ShowPopupMenu();
}

// ---- commands -------------------------------------------------------------------------

void frmMessage_Sended::Toolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("btnSend"))
        SendMessage();
    else if (key == QLatin1String("btnDelete"))
        DeleteMessage();
    else if (key == QLatin1String("btnDetails"))
        ShowDetails();
    else if (key == QLatin1String("btnExport"))
        ExportMessage();
}

void frmMessage_Sended::mnPopup_Click(const QString& MenuName, bool Checked)
{
    Q_UNUSED(Checked);
    if (MenuName == QLatin1String("mnSend"))
        SendMessage();
    else if (MenuName == QLatin1String("mnDelete"))
        DeleteMessage();
    else if (MenuName == QLatin1String("mnDetails"))
        ShowDetails();
}

void frmMessage_Sended::SendMessage()
{
    if (SelectedCount() != 1) {
        rt::MsgBox(QStringLiteral("Πρέπει να επιλέξετε μόνο ένα μήνυμα για αποστολή."),
                   rt::mb::Exclamation | rt::mb::OKOnly, QStringLiteral("ΑΠΟΣΤΟΛΗ ΜΗΝΥΜΑΤΟΣ"));
        return;
    }
    const qint32 id = savedsent::MessageId(savedsent::OnlySelectedItem(*m_sendList));
    mdlDialogs::ReportFailure([id] {
        rt::Recordset rs = MessageRows::OpenMessage(QStringLiteral("sended_messages"), id);
        if (rs.eof())
            return;
        const QString title = text(rs, "msg_title");
        const QString body = text(rs, "msg_text");
        const QString originator = text(rs, "msg_originator");
        const QString phones = text(rs, "msg_phonelist");
        // The out-box writer takes the schedule as the screen shows it.
        const QString schDate = rt::shortDateFromDb(rs.field(QStringLiteral("msg_schdate")));
        const QString schTime = rt::shortTimeFromDb(rs.field(QStringLiteral("msg_schtime")));
        const bool flash = rs.field(QStringLiteral("msg_flash")).toBool();
        rs.close();
        const qint32 newId =
            mdlMain::AddOutboxMessage(title, body, originator, phones, schDate, schTime, flash);
        // The batch refreshes this list, when it is still the docked one, by its name.
        if (newId > 0)
            rt::Forms::get<frmSendMessages>().SendOutBoxMessages(newId);
    });
}

void frmMessage_Sended::ShowDetails()
{
    savedsent::ShowChosenDetails(*m_sendList, QStringLiteral("sended_messages"));
}

void frmMessage_Sended::ExportMessage()
{
    const rt::ListItem selected = m_sendList->SelectedItem();
    if (!selected)
        return;
    const qint32 id = savedsent::MessageId(selected);
    try {
        rt::Forms::get<frmMessage_Export>().ExportMessage(QStringLiteral("sended_messages"), id);
    } catch (const rt::RuntimeError& error) {
        // A dialog that could not be filled is not left behind for the next command.
        rt::Forms::unload<frmMessage_Export>();
        rt::reportUntrapped(error);
    }
}

void frmMessage_Sended::DeleteMessage()
{
    // The rows deleted before a failure are gone from the count too.
    savedsent::DeleteSelectedAndUpdate(
        *m_sendList, 4, QStringLiteral("DELETE FROM sended_messages WHERE msg_id = ?"),
        [this] { SetControlState(); });
}

// ---- layout ---------------------------------------------------------------------------

void frmMessage_Sended::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    Form_Resize();
}

void frmMessage_Sended::Form_Resize()
{
    // A window too small for the layout keeps its old sizes.
    const int W = width();
    const int H = height();
    m_formTitle->resize(W, m_formTitle->height());
    const int listHeight = H - m_sendList->y();
    if (listHeight < 0)
        return;
    m_sendList->setGeometry(0, m_sendList->y(), W, listHeight);
    MessageLists::FitTitleColumn(*m_sendList, titleColumn);
}
