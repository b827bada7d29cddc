#include "messages/frmMessage_Saved.h"

#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "messages/MessageLists.h"
#include "messages/SavedSentLists.h"
#include "platform/DbDates.h"
#include "platform/Err.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Recordset.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"

using rt::toPixels;

namespace {

const QString panelKey = QStringLiteral("frmMessage_Saved");

// Design places, in twips.
constexpr int previewHeight = 1500;
constexpr int previewGap = 60;

} // namespace

frmMessage_Saved::frmMessage_Saved() : rt::Form(QStringLiteral("frmMessage_Saved"))
{
    mdlMain::SetUpDockedWindow(*this, QStringLiteral("Αποθηκευμένα Μηνύματα"));

    m_images16 = savedsent::NewListImages(this, 1);
    m_images25 = new rt::ImageList(this);
    m_images25->setObjectName(QStringLiteral("Images25x25"));

    m_formTitle = mdlMain::AddFormTitle(*this);

    m_toolbar = new rt::Toolbar(QStringLiteral("Toolbar"), this);
    mdlMain::AddToolbarButtons(*m_toolbar, *m_images25, savedsent::ToolbarPicture,
                               {
                                   {"btnEdit", "Επεξεργασία", "Επεξεργασία Μηνύματος"},
                                   {"btnDelete", "Διαγραφή", "Διαγραφή Μηνύματος"},
                                   {"btnDetails", "Ιδιότητες", "Ιδιότητες Μηνύματος"},
                               });
    connect(m_toolbar, &rt::Toolbar::ButtonClick, this, &frmMessage_Saved::Toolbar_ButtonClick);

    m_message = savedsent::NewMessageList(this, QStringLiteral("Message"), m_images16);
    m_message->AddColumn(QStringLiteral("Δημιουργία"), 2200);
    m_message->AddColumn(QStringLiteral("Τίτλος Μηνύματος"), 5000);
    m_message->setGeometry(0, toPixels(mdlMain::FormTitleHeight), width(),
                           height() -
                               toPixels(mdlMain::FormTitleHeight + previewHeight + previewGap));
    connect(m_message, &rt::ListView::ItemClick, this, &frmMessage_Saved::Message_ItemClick);
    connect(m_message, &rt::ListView::MouseUp, this, &frmMessage_Saved::Message_MouseUp);

    m_txtMessage = new rt::MultiLineTextBox(QStringLiteral("txtMessage"), this);
    m_txtMessage->setLocked(true);
    m_txtMessage->setReadOnly(true);
    m_txtMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtMessage->setGeometry(0, height() - toPixels(previewHeight), width(),
                              toPixels(previewHeight));

    m_mnPopup = new PopupMenuControl(QStringLiteral("mnPopup"), this);
    connect(m_mnPopup, &PopupMenuControl::Click, this, &frmMessage_Saved::mnPopup_Click);

    Form_Resize();
}

// ---- load and unload ------------------------------------------------------------------

void frmMessage_Saved::Form_Load()
{
    mdlMain::DockChildForm(*this, *m_formTitle, *m_toolbar);
    mdlMain::AddStatusPanel(panelKey, QString());
    // A failing read still leaves the window docked, so that it can be closed again.
    mdlDialogs::ReportFailure([this] { FillSavedList(); });
    ShowSelectedMessage();
    m_mnPopup->AddMenuItem(QStringLiteral("mnOpen"), QStringLiteral("Επεξεργασία"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnSep"), QStringLiteral("-"));
    m_mnPopup->AddMenuItem(QStringLiteral("mnDetails"), QStringLiteral("Ιδιότητες"));
}

void frmMessage_Saved::Form_Unload(bool& cancel)
{
    // Never refuses.
    Q_UNUSED(cancel);
    mdlMain::UndockChildForm(*this, *m_toolbar, {panelKey});
}

// ---- the list -------------------------------------------------------------------------

void frmMessage_Saved::FillSavedList()
{
    {
        mdlMain::BusyPointer busy(11);
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
            {QStringLiteral("SELECT * FROM saved_messages ORDER BY msg_datecreated, "
                            "msg_timecreated"),
             {}},
            rt::RecordsetType::Snapshot);
        if (!rs.isOpen())
            rt::Raise(rs.status().number, rs.status().description, QStringLiteral("SQLite"));
        rt::ListItems items = m_message->ListItems();
        for (; !rs.eof(); rs.moveNext()) {
            rt::ListItem item =
                items.Add(QStringLiteral("MSG_") + rs.field(QStringLiteral("msg_id")).toString(),
                          QString(), 1);
            item.setSubItems(1,
                             rt::shortDateFromDb(rs.field(QStringLiteral("msg_datecreated"))) +
                                 QLatin1Char(' ') +
                                 rt::shortTimeFromDb(rs.field(QStringLiteral("msg_timecreated"))));
            item.setSubItems(
                2, mdlDataBase::NullToEmpty(rs.field(QStringLiteral("msg_title"))).toString());
            item.setTag(mdlDataBase::NullToEmpty(rs.field(QStringLiteral("msg_text"))).toString());
        }
        rs.close();
        // The list control marked its first item as the selected one.
        if (items.Count() > 0)
            savedsent::SelectOnly(*m_message, items.Item(1));
    }
    SetControlState();
}

void frmMessage_Saved::ShowSelectedMessage()
{
    if (m_message->ListItems().Count() == 0)
        return;
    const rt::ListItem selected = m_message->SelectedItem();
    if (selected)
        m_txtMessage->setText(selected.Tag());
}

void frmMessage_Saved::SetControlState()
{
    const bool enabled = m_message->ListItems().Count() > 0;
    for (const char* key : {"btnEdit", "btnDelete", "btnDetails"})
        m_toolbar->setButtonEnabled(QLatin1String(key), enabled);
    rt::Forms::get<frmMain>().SetMenuState(QStringLiteral("mn_DeleteMessage"), enabled);
    mdlMain::SetStatusPanel(panelKey, QString::number(m_message->ListItems().Count()) +
                                          QStringLiteral(" Μηνύματα"));
}

void frmMessage_Saved::Message_ItemClick(const rt::ListItem& item)
{
    Q_UNUSED(item);
    ShowSelectedMessage();
}

void frmMessage_Saved::Message_MouseUp(int button, int shift, const QPoint& pos)
{
    Q_UNUSED(shift);
    Q_UNUSED(pos);
    if (button != 2)
        return;
    const bool enabled = m_message->ListItems().Count() > 0;
    for (const char* name : {"mnOpen", "mnDelete", "mnDetails"})
        m_mnPopup->setMenuState(QLatin1String(name), enabled);
    m_mnPopup->ShowPopupMenu();
}

// ---- commands -------------------------------------------------------------------------

void frmMessage_Saved::Toolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("btnEdit"))
        OpenMessage();
    else if (key == QLatin1String("btnDelete"))
        DeleteMessage();
    else if (key == QLatin1String("btnDetails"))
        ShowDetails();
}

void frmMessage_Saved::mnPopup_Click(const QString& MenuName, bool Checked)
{
    Q_UNUSED(Checked);
    if (MenuName == QLatin1String("mnOpen"))
        OpenMessage();
    else if (MenuName == QLatin1String("mnDelete"))
        DeleteMessage();
    else if (MenuName == QLatin1String("mnDetails"))
        ShowDetails();
}

void frmMessage_Saved::OpenMessage()
{
    const rt::ListItem selected = m_message->SelectedItem();
    if (!selected)
        return;
    const QString id = QString::number(savedsent::MessageId(selected));
    // The main window unloads this window before it opens the message.
    mdlDialogs::ReportFailure([id] { rt::Forms::get<frmMain>().EditMessage(id); });
}

void frmMessage_Saved::ShowDetails()
{
    savedsent::ShowChosenDetails(*m_message, QStringLiteral("saved_messages"));
}

void frmMessage_Saved::DeleteMessage()
{
    // What was deleted before a failure is gone from the count and the drop-down too.
    // The row now selected in the deleted row's place is the one the preview shows: a
    // deleted message's text beside another row's selection would be read as that row's.
    // With no row left, the preview keeps what it showed.
    savedsent::DeleteSelectedAndUpdate(
        *m_message, 2, QStringLiteral("DELETE FROM saved_messages WHERE msg_id = ?"), [this] {
            SetControlState();
            ShowSelectedMessage();
            rt::Forms::get<frmMain>().ReadSavedMessages();
        });
}

// ---- layout ---------------------------------------------------------------------------

void frmMessage_Saved::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    Form_Resize();
}

void frmMessage_Saved::Form_Resize()
{
    // A window too small for the layout keeps its old sizes.
    const int W = width();
    const int H = height();
    m_formTitle->resize(W, m_formTitle->height());
    const int previewTop = H - m_txtMessage->height();
    if (previewTop < 0)
        return;
    m_txtMessage->setGeometry(0, previewTop, W, m_txtMessage->height());
    const int listHeight = H - (m_message->y() + m_txtMessage->height() + toPixels(previewGap));
    if (listHeight < 0)
        return;
    m_message->setGeometry(0, m_message->y(), W, listHeight);
    MessageLists::FitTitleColumn(*m_message, 3);
}
