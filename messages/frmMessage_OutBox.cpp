#include "messages/frmMessage_OutBox.h"

#include "addressbook/mdlGroups.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "messages/MessageLists.h"
#include "messages/MessageRows.h"
#include "messages/OutBoxPictures.h"
#include "messages/frmMessage_Export.h"
#include "messages/frmMessage_Properties.h"
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

const QString panelKey = QStringLiteral("frmMessage_OutBox");
const QString itemPrefix = QStringLiteral("MSG_");
const QString outboxTable = QStringLiteral("outbox_messages");

// The columns after the icon column (1-based sub-item numbers of the items).
constexpr int colSent = 1;
constexpr int colScheduled = 2;
constexpr int colType = 3;
constexpr int colTitle = 4;
constexpr int colRecipients = 5;

[[noreturn]] void raiseDb(const rt::DbResult& status)
{
    rt::Raise(status.number, status.description, QStringLiteral("SQLite"));
}

QString moment(const QVariant& date, const QVariant& time)
{
    return MessageRows::DateText(date) + QStringLiteral(" - ") + MessageRows::TimeText(time);
}

} // namespace

frmMessage_OutBox::frmMessage_OutBox() : rt::Form(QStringLiteral("frmMessage_OutBox"))
{
    mdlMain::SetUpDockedWindow(*this, QStringLiteral("Εξερχόμενα Μηνύματα"));

    m_imageList = new rt::ImageList(this);
    m_imageList->setObjectName(QStringLiteral("ImageList"));
    m_imageList->Add(OutBoxPictures::ItemPicture(IconWaiting));
    m_imageList->Add(OutBoxPictures::ItemPicture(IconFailed));
    m_images25 = new rt::ImageList(this);
    m_images25->setObjectName(QStringLiteral("Images25x25"));

    m_formTitle = mdlMain::AddFormTitle(*this);

    m_toolbar = new rt::Toolbar(QStringLiteral("Toolbar"), this);
    mdlMain::AddToolbarButtons(*m_toolbar, *m_images25, OutBoxPictures::ToolbarPicture,
                               {
                                   {"btnSend", "Αποστολή", "Αποστολή Μηνυμάτων"},
                                   {"btnDelete", "Διαγραφή", "Διαγραφή Μηνυμάτων"},
                                   {"btnDetails", "Ιδιότητες", "Ιδιότητες Μηνύματος"},
                                   {"btnExport", "Εξαγωγή", "Εχαγωγή Μηνύματος σε Αρχείο"},
                               });
    connect(m_toolbar, &rt::Toolbar::ButtonClick, this, &frmMessage_OutBox::Toolbar_ButtonClick);

    m_outList = new rt::ListView(this);
    m_outList->setObjectName(QStringLiteral("OutList"));
    m_outList->setMultiSelect(true);
    m_outList->setSmallIcons(m_imageList);
    m_outList->AddColumn(QString(), 375);
    m_outList->AddColumn(QStringLiteral("Αποστολή"), 1900);
    m_outList->AddColumn(QStringLiteral("Προγρ. Αποστολή"), 1900);
    m_outList->AddColumn(QStringLiteral("Τύπος"), 1150);
    m_outList->AddColumn(QStringLiteral("Τίτλος"), 3000);
    m_outList->AddColumn(QStringLiteral("Παραλήπτες"), 1200);
    m_outList->setGeometry(0, toPixels(mdlMain::FormTitleHeight), width(),
                           height() - toPixels(mdlMain::FormTitleHeight));
    connect(m_outList, &rt::ListView::MouseUp, this, &frmMessage_OutBox::OutList_MouseUp);

    m_mnPopup = new PopupMenuControl(QStringLiteral("mnPopup"), this);
    connect(m_mnPopup, &PopupMenuControl::Click, this, &frmMessage_OutBox::mnPopup_Click);

    Form_Resize();
}

// ---- load and unload --------------------------------------------------------------------

void frmMessage_OutBox::Form_Load()
{
    mdlMain::DockChildForm(*this, *m_formTitle, *m_toolbar);
    mdlMain::AddStatusPanel(panelKey, QString());
    // The window docks with what could be read, so that it can be closed again.
    mdlDialogs::ReportFailure([&] { FillOutBoxList(); });
    m_mnPopup->AddMenuItem(QStringLiteral("mnSend"), QStringLiteral("Αποστολή Μηνύματος"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnSendAll"), QStringLiteral("Αποστολή Όλων"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
    m_mnPopup->AddMenuItem(QString(), QStringLiteral("-"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnProperties"), QStringLiteral("Ιδιότητες"));
}

void frmMessage_OutBox::Form_Unload(bool& cancel)
{
    Q_UNUSED(cancel);
    mdlMain::UndockChildForm(*this, *m_toolbar, {panelKey});
}

// ---- the list -----------------------------------------------------------------------------

void frmMessage_OutBox::FillOutBoxList()
{
    {
        mdlMain::BusyPointer busy;
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT * FROM outbox_messages ORDER BY msg_date, msg_time, msg_id;"),
             {}},
            rt::RecordsetType::Snapshot);
        if (!rs.isOpen())
            raiseDb(rs.status());
        rt::ListItems items = m_outList->ListItems();
        for (; !rs.eof(); rs.moveNext()) {
            const bool failed = rs.field(QStringLiteral("msg_error")).isValid();
            rt::ListItem item =
                items.Add(itemPrefix + rs.field(QStringLiteral("msg_id")).toString(), QString(),
                          failed ? IconFailed : IconWaiting);
            if (!item)
                continue; // already listed
            item.setTag(failed ? QStringLiteral("2") : QStringLiteral("0"));
            item.setSubItems(colSent, moment(rs.field(QStringLiteral("msg_date")),
                                             rs.field(QStringLiteral("msg_time"))));
            const QVariant schTime = rs.field(QStringLiteral("msg_schtime"));
            item.setSubItems(colScheduled,
                             schTime.isValid()
                                 ? moment(rs.field(QStringLiteral("msg_schdate")), schTime)
                                 : QString());
            item.setSubItems(colType, rs.field(QStringLiteral("msg_flash")).toBool()
                                          ? QStringLiteral("Flash")
                                          : QStringLiteral("Κανονικό"));
            item.setSubItems(
                colTitle,
                mdlDataBase::NullToEmpty(rs.field(QStringLiteral("msg_title"))).toString());
            item.setSubItems(colRecipients,
                             QString::number(mdlGroups::CountListEntries(
                                 mdlDataBase::NullToEmpty(rs.field(QStringLiteral("msg_phonelist")))
                                     .toString())));
            item.setSelected(false);
        }
        rs.close();
        const int count = items.Count();
        if (count > 0) {
            const rt::ListItem last = items.Item(count);
            m_outList->setSelectedItem(last);
            last.EnsureVisible();
        }
    }
    SetControlState();
}

void frmMessage_OutBox::RefreshOutBoxList()
{
    QString key;
    try {
        key = m_outList->SelectedItem().Key();
        m_outList->ListItems().Clear();
        FillOutBoxList();
    } catch (const rt::RuntimeError&) {
    }
    try {
        const rt::ListItem again = m_outList->ListItems().Item(key);
        if (again) {
            // It alone: the last item, which the fill selected, must not go with the
            // next delete unasked.
            for (rt::ListItem item : m_outList->ListItems())
                item.setSelected(false);
            m_outList->setSelectedItem(again);
            again.EnsureVisible();
        }
    } catch (const rt::RuntimeError&) {
    }
}

void frmMessage_OutBox::SetControlState()
{
    const int count = m_outList->ListItems().Count();
    const bool enabled = count > 0;
    for (const char* key : {"btnSend", "btnDelete", "btnDetails", "btnExport"})
        m_toolbar->setButtonEnabled(QLatin1String(key), enabled);
    frmMain& main = rt::Forms::get<frmMain>();
    main.SetMenuState(QStringLiteral("mn_SendMessage"), enabled);
    main.SetMenuState(QStringLiteral("mn_DeleteMessage"), enabled);
    mdlMain::SetStatusPanel(panelKey, QString::number(count) + QStringLiteral(" Μηνύματα"));
}

bool frmMessage_OutBox::currentId(qint32& id)
{
    const rt::ListItem current = m_outList->SelectedItem();
    if (!current)
        return false;
    bool isNumber = false;
    id = mdlGroups::KeyToId(current.Key()).toInt(&isNumber);
    return isNumber;
}

// ---- commands ---------------------------------------------------------------------------

void frmMessage_OutBox::SendMessage(bool SendSelected)
{
    mdlDialogs::ReportFailure([&] {
        if (!SendSelected) {
            rt::Forms::get<frmSendMessages>().SendOutBoxMessages(-1);
            return;
        }
        // Only the current message, however many are selected.
        qint32 id = 0;
        if (currentId(id))
            rt::Forms::get<frmSendMessages>().SendOutBoxMessages(id);
    });
}

void frmMessage_OutBox::DeleteMessage()
{
    const int n = mdlGroups::SelectedItemCount(*m_outList);
    // Nothing selected, nothing to delete: no question about a message that would stay.
    if (n == 0)
        return;
    // One message is named by its title: the selected one, which is the one that goes,
    // also when the current item is another.
    QString what = QString::number(n) + QStringLiteral(" μηνύματα.");
    if (n < 2) {
        rt::ListItem target = m_outList->SelectedItem();
        if (!target.Selected()) {
            for (const rt::ListItem item : m_outList->ListItems()) {
                if (item.Selected()) {
                    target = item;
                    break;
                }
            }
        }
        what = QStringLiteral("το μήνυμα \"") + target.SubItems(colTitle) + QStringLiteral("\".");
    }
    const int answer =
        rt::MsgBox(QStringLiteral("Πρόκειτε να διαγράψετε ") + what +
                       QStringLiteral("\nΘέλετε να συνεχίσετε;"),
                   rt::mb::YesNo | rt::mb::Question, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΗΝΥΜΑΤΟΣ"));
    if (answer == rt::mb::No)
        return;
    m_outList->hide();
    mdlDialogs::ReportFailure([&] {
        // From the last item to the first, so the places of the items still to be looked
        // at do not move. An item goes only once its row is gone.
        rt::ListItems items = m_outList->ListItems();
        for (int i = items.Count(); i >= 1; --i) {
            const rt::ListItem item = items.Item(i);
            if (!item.Selected())
                continue;
            bool isNumber = false;
            const qint32 id = mdlGroups::KeyToId(item.Key()).toInt(&isNumber);
            if (!isNumber)
                continue;
            const rt::DbResult done = mdlDataBase::MainDatabase().execute(
                {QStringLiteral("DELETE FROM outbox_messages WHERE msg_id=?;"), {id}});
            if (!done)
                raiseDb(done);
            items.Remove(item);
        }
    });
    // Shown again and up to date also after a failure part of the way.
    m_outList->show();
    mdlDialogs::ReportFailure([&] { SetControlState(); });
}

void frmMessage_OutBox::ShowMessageDetails()
{
    qint32 id = 0;
    if (!currentId(id))
        return;
    mdlDialogs::ReportFailure([&] {
        rt::Forms::get<frmMessage_Properties>().ShowDetails(id, outboxTable);
        rt::Forms::showModal(rt::Forms::get<frmMessage_Properties>());
    });
}

void frmMessage_OutBox::ExportCurrentMessage()
{
    qint32 id = 0;
    if (!currentId(id))
        return;
    mdlDialogs::ReportFailure(
        [&] { rt::Forms::get<frmMessage_Export>().ExportMessage(outboxTable, id); });
}

void frmMessage_OutBox::Toolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("btnSend"))
        SendMessage(false); // the toolbar has no send-one button
    else if (key == QLatin1String("btnDelete"))
        DeleteMessage();
    else if (key == QLatin1String("btnDetails"))
        ShowMessageDetails();
    else if (key == QLatin1String("btnExport"))
        ExportCurrentMessage();
}

void frmMessage_OutBox::OutList_MouseUp(int button, int shift, const QPoint& pos)
{
    Q_UNUSED(shift);
    Q_UNUSED(pos);
    if (button != 2)
        return;
    const bool hasItems = m_outList->ListItems().Count() > 0;
    for (const char* name : {"mnSend", "mnSendAll", "mnDelete", "mnProperties"})
        m_mnPopup->setMenuState(QLatin1String(name), hasItems);
    m_mnPopup->ShowPopupMenu();
}

void frmMessage_OutBox::mnPopup_Click(const QString& MenuName, bool Checked)
{
    Q_UNUSED(Checked);
    if (MenuName == QLatin1String("mnSend"))
        SendMessage(true);
    else if (MenuName == QLatin1String("mnSendAll"))
        SendMessage(false);
    else if (MenuName == QLatin1String("mnDelete"))
        DeleteMessage();
    else if (MenuName == QLatin1String("mnProperties"))
        ShowMessageDetails();
}

// ---- layout -------------------------------------------------------------------------------

void frmMessage_OutBox::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    Form_Resize();
}

void frmMessage_OutBox::Form_Resize()
{
    const int W = width();
    const int H = height();
    m_formTitle->resize(W, m_formTitle->height());
    const int top = m_outList->y();
    if (H - top >= 0)
        m_outList->setGeometry(0, top, W, H - top);
    MessageLists::FitTitleColumn(*m_outList, colTitle + 1);
}
