#include "compose/frmMessage_Edit.h"

#include "addressbook/GroupTree.h"
#include "addressbook/mdlGroups.h"
#include "app/FormTitle.h"
#include "app/OriginatorControl.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "app/mdlMainOutbox.h"
#include "app/mdlSettings.h"
#include "compose/CharacterMap.h"
#include "compose/ExtraPhonesEditor.h"
#include "compose/MessageEditor.h"
#include "compose/MessageWindowPictures.h"
#include "compose/PhoneListText.h"
#include "compose/frmInstantGroup.h"
#include "compose/frmMessage_Save.h"
#include "compose/frmMessage_SetTime.h"
#include "platform/AxButton.h"
#include "platform/Clock.h"
#include "platform/Cp1253.h"
#include "platform/DbDates.h"
#include "platform/Err.h"
#include "platform/Formats.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/Recordset.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "platform/Twips.h"
#include "sending/frmSendMessages.h"

#include <QHash>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <optional>
#include <vector>

using rt::toPixels;

namespace {

const QString& rootKey = mdlGroups::RootKey;
const QString& groupPrefix = mdlGroups::GroupKeyPrefix;
const QString& memberPrefix = mdlGroups::MemberKeyPrefix;
const QString instantTag = QStringLiteral("TEMP");

const QString pnlCharCount = QStringLiteral("pnlCharCount");
const QString pnlSMSCount = QStringLiteral("pnlSMSCount");
const QString pnlSMSDate = QStringLiteral("pnlSMSDate");

constexpr int MaxLength = 160;

// Design places, in twips.
constexpr int originatorTop = 465;
constexpr int msgPanelTop = 915;
constexpr int msgPanelHeight = 2775;
constexpr int barThickness = 75;
constexpr int groupsWidth = 3300;
constexpr int expandWidth = 240;
// How long a slide of the palette takes, in steps of the timer.
constexpr int slideSteps = 12;
constexpr int slideStepMs = 15;

rt::RuntimeError databaseError(const rt::DbResult& status)
{
    return rt::RuntimeError(status.number, status.description, QStringLiteral("SQLite"));
}

// The runtime's Trim: blanks only.
QStringView trimBlanks(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == QLatin1Char(' '))
        ++start;
    while (end > start && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

const QString editCaption = QStringLiteral("Επεξεργασία Μηνύματος");

void setBarColour(QWidget* bar, const QColor& colour)
{
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, colour);
    bar->setPalette(palette);
}

} // namespace

frmMessage_Edit::frmMessage_Edit() : rt::Form(QStringLiteral("frmMessage_Edit"))
{
    mdlMain::SetUpDockedWindow(*this, QStringLiteral("Δημιουργία Μηνύματος"));

    m_imageList = new rt::ImageList(this);
    m_imageList->setObjectName(QStringLiteral("ImageList"));
    for (int i = 1; i <= MessageWindowPictures::ImageListCount; ++i)
        m_imageList->Add(MessageWindowPictures::ImageListPicture(i));
    m_images25 = new rt::ImageList(this);
    m_images25->setObjectName(QStringLiteral("Images25x25"));

    m_formTitle = mdlMain::AddFormTitle(*this);

    m_toolbar = new rt::Toolbar(QStringLiteral("Toolbar"), this);
    mdlMain::AddToolbarButtons(
        *m_toolbar, *m_images25, MessageWindowPictures::ToolbarPicture,
        {
            {"btnInstantGroup", "Άμεση Ομαδοποίηση", "Άμεση Δημιουργία Ομάδας για Αποστολή"},
            {"btnSaveMsg", "Αποθήκευση", "Αποθήκευση Μηνύματος"},
            {"btnMsgTimer", "Προγραμματισμός", "Προγραμματισμός Αποστολής Μηνύματος"},
            {"btnSend", "Αποστολή", "Αποστολή Μηνύματος"},
        });
    connect(m_toolbar, &rt::Toolbar::ButtonClick, this, &frmMessage_Edit::Toolbar_ButtonClick);

    m_label1 = new QLabel(QStringLiteral("Αποστολέας"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_txtOriginator = new OriginatorControl(QStringLiteral("txtOriginator"), this);
    m_cmdOrigDefault = new QPushButton(QStringLiteral("Προεπιλογή"), this);
    m_cmdOrigDefault->setObjectName(QStringLiteral("cmdOrigDefault"));
    {
        const int rowHeight =
            std::max(m_txtOriginator->sizeHint().height(), m_cmdOrigDefault->sizeHint().height());
        const int top = toPixels(originatorTop);
        m_label1->adjustSize();
        m_label1->move(toPixels(120), top + (rowHeight - m_label1->height()) / 2);
        const int boxLeft = m_label1->x() + m_label1->width() + toPixels(120);
        m_txtOriginator->setGeometry(boxLeft,
                                     top + (rowHeight - m_txtOriginator->sizeHint().height()) / 2,
                                     toPixels(2400), m_txtOriginator->sizeHint().height());
        m_cmdOrigDefault->setGeometry(
            m_txtOriginator->x() + m_txtOriginator->width() + toPixels(90), top,
            std::max(toPixels(1335), m_cmdOrigDefault->sizeHint().width()), rowHeight);
    }
    connect(m_txtOriginator, &OriginatorControl::Change, this,
            &frmMessage_Edit::txtOriginator_Change);
    connect(m_cmdOrigDefault, &QPushButton::clicked, this, &frmMessage_Edit::cmdOrigDefault_Click);

    // The upper panel. Stacking matters to the palette: it slides out from under the
    // editor and the expand button and over the extra numbers.
    m_picMsgPanel = new QWidget(this);
    m_picMsgPanel->setObjectName(QStringLiteral("picMsgPanel"));
    m_picMsgPanel->setGeometry(0, toPixels(msgPanelTop), width(), toPixels(msgPanelHeight));
    m_cntrlPhones = new ExtraPhonesEditor(QStringLiteral("cntrlPhones"), m_picMsgPanel);
    m_charMap = new CharacterMap(QStringLiteral("CharMap"), m_picMsgPanel);
    m_charMap->setAutoFillBackground(true);
    m_charMap->resize(m_picMsgPanel->width() / 2, m_picMsgPanel->height());
    m_charMap->hide();
    m_message = new MessageEditor(QStringLiteral("Message"), m_picMsgPanel);
    m_cmdExpand = new rt::AxButton(QStringLiteral("cmdExpand"), m_picMsgPanel);
    m_cmdExpand->setPicture(MessageWindowPictures::ExpandPicture(true));
    m_cmdExpand->setPictureDown(MessageWindowPictures::ExpandPicture(false));
    m_cmdExpand->setToolTipText(QStringLiteral("Εμφάνιση του Πίνακα Χαρακτήρων"));
    m_cmdExpand->resize(toPixels(expandWidth), m_picMsgPanel->height());
    connect(m_cntrlPhones, &ExtraPhonesEditor::PhonesChanged, this,
            &frmMessage_Edit::cntrlPhones_PhonesChanged);
    connect(m_charMap, &CharacterMap::SymbolClick, this, &frmMessage_Edit::CharMap_SymbolClick);
    connect(m_message, &MessageEditor::MessageChange, this,
            &frmMessage_Edit::Message_MessageChange);
    connect(m_message, &MessageEditor::TitleChange, this, &frmMessage_Edit::Message_TitleChange);
    connect(m_cmdExpand, &rt::AxButton::Click, this, &frmMessage_Edit::cmdExpand_Click);
    m_picMsgPanel->installEventFilter(this);

    m_picVSeperator = new QWidget(this);
    m_picVSeperator->setObjectName(QStringLiteral("picVSeperator"));
    m_picVSeperator->setAutoFillBackground(true);
    m_picVSeperator->setCursor(Qt::SizeVerCursor);
    m_picVSeperator->setGeometry(0, m_picMsgPanel->geometry().bottom() + 1, width(),
                                 toPixels(barThickness));
    m_picVSeperator->installEventFilter(this);

    // The lower panel.
    m_picGrpPanel = new QWidget(this);
    m_picGrpPanel->setObjectName(QStringLiteral("picGrpPanel"));
    const int groupTop = m_picVSeperator->geometry().bottom() + 1;
    m_picGrpPanel->setGeometry(0, groupTop, width(), height() - groupTop);
    m_groups = new rt::TreeView(m_picGrpPanel);
    m_groups->setObjectName(QStringLiteral("Groups"));
    m_groups->setCheckboxes(true);
    m_groups->setImageList(m_imageList);
    m_groups->resize(toPixels(groupsWidth), m_picGrpPanel->height());
    m_picHSeperator = new QWidget(m_picGrpPanel);
    m_picHSeperator->setObjectName(QStringLiteral("picHSeperator"));
    m_picHSeperator->setAutoFillBackground(true);
    m_picHSeperator->setCursor(Qt::SizeHorCursor);
    m_picHSeperator->setGeometry(m_groups->width(), 0, toPixels(barThickness),
                                 m_picGrpPanel->height());
    m_picHSeperator->installEventFilter(this);
    m_members = new rt::ListView(m_picGrpPanel);
    m_members->setObjectName(QStringLiteral("Members"));
    m_members->setCheckboxes(true);
    m_members->setMultiSelect(true);
    m_members->setSmallIcons(m_imageList);
    m_members->AddColumn(QStringLiteral("Επίθετο"), 2000);
    m_members->AddColumn(QStringLiteral("Όνομα"), 1600);
    m_members->AddColumn(QStringLiteral("Επάγγελμα"), 1800);
    m_members->AddColumn(QStringLiteral("Κινητό"), 1500);
    m_picGrpPanel->installEventFilter(this);
    connect(m_groups, &rt::TreeView::NodeCheck, this, &frmMessage_Edit::Groups_NodeCheck);
    connect(m_groups, &rt::TreeView::NodeClick, this, &frmMessage_Edit::Groups_NodeClick);
    connect(m_members, &rt::ListView::ItemCheck, this, &frmMessage_Edit::Members_ItemCheck);
    connect(m_members, &rt::ListView::MouseUp, this, &frmMessage_Edit::Members_MouseUp);
    connect(m_members, &rt::ListView::ColumnClick, this, &frmMessage_Edit::Members_ColumnClick);

    // The master list of every member; its ticks are the member recipients.
    m_lstMembers = new rt::ListView(this);
    m_lstMembers->setObjectName(QStringLiteral("lstMembers"));
    m_lstMembers->setCheckboxes(true);
    m_lstMembers->AddColumn(QStringLiteral("lastname"));
    m_lstMembers->AddColumn(QStringLiteral("firstname"));
    m_lstMembers->AddColumn(QStringLiteral("occupation"));
    m_lstMembers->AddColumn(QStringLiteral("phone"));
    m_lstMembers->hide();

    m_mnPopup = new PopupMenuControl(QStringLiteral("mnPopup"), this);
    connect(m_mnPopup, &PopupMenuControl::Click, this, &frmMessage_Edit::mnPopup_Click);

    setBarColour(m_picVSeperator, palette().color(QPalette::Button));
    setBarColour(m_picHSeperator, palette().color(QPalette::Button));

    m_slideTimer.setInterval(slideStepMs);
    connect(&m_slideTimer, &QTimer::timeout, this, &frmMessage_Edit::paletteStep);

    Form_Resize();
}

QString frmMessage_Edit::validSymbols()
{
    QString set = QStringLiteral(" ");
    for (const char16_t c :
         {0x40, 0x3B, 0x3A, 0x2C, 0x2E, 0x21, 0x3F, 0x28, 0x29, 0x27, 0x2B, 0x3D, 0x2D, 0x2A, 0x3C,
          0x3E, 0x5C, 0x7E, 0x22, 0xA4, 0x23, 0xA7, 0xA6, 0xA5, 0xA3, 0x24, 0x25, 0x26, 0x5F, 0x2F})
        set += QChar(c);
    for (char16_t c = u'0'; c <= u'9'; ++c)
        set += QChar(c);
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        set += QChar(c);
    for (char16_t c = u'a'; c <= u'z'; ++c)
        set += QChar(c);
    for (char16_t c = 0x0391; c <= 0x03A9; ++c) {
        if (c != 0x03A2) // no final sigma among the capitals
            set += QChar(c);
    }
    return set;
}

// ---- load and unload ------------------------------------------------------------------

void frmMessage_Edit::Form_Load()
{
    mdlMain::DockChildForm(*this, *m_formTitle, *m_toolbar);
    try {
        LoadGroupTree();
        LoadAllMembers();
        ShowGroupMembers(m_groups->Nodes().Item(1).Key());
    } catch (const rt::RuntimeError& error) {
        // The window still docks, with what was read, so that it can be closed again.
        mdlMain::SetMousePointer(0);
        rt::reportUntrapped(error);
    }
    MsgID = 0;
    m_instantGroupCount = 0;
    SendTime.clear();
    SendDate.clear();
    SetModified(false);
    m_charMap->move(m_cmdExpand->x() + m_cmdExpand->width() - m_charMap->width(), m_charMap->y());
    m_message->setValidSymbols(validSymbols());
    m_mnPopup->AddMenuItem(QStringLiteral("mnAddPhone"),
                           QStringLiteral("Προσθήκη στα Πρόσθετα Τηλέφωνα"));
    m_txtOriginator->setText(mdlSettings::Originator);
    mdlMain::AddStatusPanel(pnlCharCount, QStringLiteral("160"), m_imageList->Icon(6),
                            QStringLiteral("Απομένουν: 160 Χαρακτήρες"));
    mdlMain::AddStatusPanel(pnlSMSCount, QStringLiteral("0"), m_imageList->Icon(4),
                            QStringLiteral("Παραλήπτες: 0"));
    mdlMain::AddStatusPanel(pnlSMSDate, QStringLiteral("Άμεση Αποστολή"), m_imageList->Icon(8),
                            QStringLiteral("Προγραμματισμένος Χρόνος Αποστολής: Άμεσα"));
    m_messageSent = false;
}

void frmMessage_Edit::Form_Unload(bool& cancel)
{
    // Never refuses and asks nothing: an unsaved message goes with the window.
    Q_UNUSED(cancel);
    m_slideTimer.stop();
    mdlMain::UndockChildForm(*this, *m_toolbar, {pnlSMSCount, pnlCharCount, pnlSMSDate});
}

// ---- the group tree and the member lists ------------------------------------------------

void frmMessage_Edit::LoadGroupTree()
{
    // A group whose parent never comes (removed, or a loop of parents) stays out, and its
    // id then counts as an unticked group.
    GroupTree::LoadGroups(*m_groups);
}

void frmMessage_Edit::LoadAllMembers()
{
    GroupTree::LoadMembers(*m_lstMembers);
}

void frmMessage_Edit::ShowGroupMembers(const QString& NodeKey)
{
    rt::ListItems shown = m_members->ListItems();
    shown.Clear();
    m_members->hide();
    mdlMain::SetMousePointer(11);

    // Where each id stands in the list decides the icon: the first id of the list that a
    // member's tag names is the one that matched.
    GroupTree::AddGroupMembers(*m_lstMembers, *m_members, m_groups->Nodes().Item(NodeKey), true);

    m_members->show();
    mdlMain::SetMousePointer(0);
}

void frmMessage_Edit::CheckGroupSubtree(const rt::Node& node, bool State)
{
    // The node and everything below it; the nodes above and beside keep their ticks.
    std::vector<rt::Node> stack{node};
    while (!stack.empty()) {
        rt::Node current = stack.back();
        stack.pop_back();
        current.setChecked(State);
        for (rt::Node child = current.Child(); child; child = child.Next())
            stack.push_back(child);
    }
}

void frmMessage_Edit::SyncMemberChecksFromGroups()
{
    QHash<QString, bool> ticked;
    rt::Nodes nodes = m_groups->Nodes();
    const int count = nodes.Count();
    ticked.reserve(count);
    for (int i = 1; i <= count; ++i) {
        const rt::Node node = nodes.Item(i);
        ticked.insert(mdlGroups::KeyToId(node.Key()), node.Checked());
    }
    rt::ListItems shown = m_members->ListItems();
    for (rt::ListItem master : m_lstMembers->ListItems()) {
        // The tag without its first and last character, split at the backslashes; an id
        // that no node of the tree has counts as an unticked group.
        const QString tag = master.Tag();
        bool on = false;
        if (tag.size() >= 2) {
            for (const QStringView id :
                 QStringView(tag).mid(1, tag.size() - 2).tokenize(QLatin1Char('\\'))) {
                if (ticked.value(id.toString(), false)) {
                    on = true;
                    break;
                }
            }
        }
        master.setChecked(on);
        if (rt::ListItem copy = shown.Item(master.Key()))
            copy.setChecked(on);
    }
}

qint32 frmMessage_Edit::CountCheckedMembers()
{
    qint32 count = 0;
    for (const rt::ListItem master : m_lstMembers->ListItems()) {
        if (master.Checked())
            ++count;
    }
    return count;
}

void frmMessage_Edit::UpdateRecipientCount()
{
    const qint32 n = CountCheckedMembers() + m_cntrlPhones->PhoneCount();
    mdlMain::SetStatusPanel(pnlSMSCount, QString::number(n), QIcon(),
                            QStringLiteral("Παραλήπτες: ") + QString::number(n));
}

void frmMessage_Edit::SetModified(bool Value)
{
    m_toolbar->setButtonEnabled(QStringLiteral("btnSaveMsg"), Value);
    rt::Forms::get<frmMain>().SetMenuState(QStringLiteral("mn_SaveMessage"), Value);
}

void frmMessage_Edit::Groups_NodeCheck(const rt::Node& node)
{
    CheckGroupSubtree(node, node.Checked());
    SyncMemberChecksFromGroups();
    UpdateRecipientCount();
}

void frmMessage_Edit::Groups_NodeClick(const rt::Node& node)
{
    ShowGroupMembers(node.Key());
}

void frmMessage_Edit::Members_ItemCheck(const rt::ListItem& item)
{
    // Members follow their groups only; a click on a member's box changes nothing.
    const rt::ListItem master = m_lstMembers->ListItems().Item(item.Key());
    rt::ListItem(item).setChecked(master && master.Checked());
}

void frmMessage_Edit::Members_MouseUp(int button, int shift, const QPoint& pos)
{
    Q_UNUSED(shift);
    Q_UNUSED(pos);
    if (button != 2)
        return;
    const rt::ListItem selected = m_members->SelectedItem();
    m_mnPopup->setMenuState(QStringLiteral("mnAddPhone"),
                            m_members->ListItems().Count() > 0 && selected && !selected.Checked());
    m_mnPopup->ShowPopupMenu();
}

void frmMessage_Edit::Members_ColumnClick(int column)
{
    m_members->setSortKey(column - 1);
    m_members->setSortOrder(rt::ListView::lvwAscending);
    m_members->setSorted(true);
}

void frmMessage_Edit::mnPopup_Click(const QString& MenuName, bool Checked)
{
    Q_UNUSED(Checked);
    if (MenuName != QLatin1String("mnAddPhone"))
        return;
    for (const rt::ListItem item : m_members->ListItems()) {
        if (!item.Selected())
            continue;
        try {
            const QString phone = item.SubItems(3);
            if (m_cntrlPhones->PhoneExist(phone)) {
                rt::MsgBox(QStringLiteral("Το τηλέφωνο \"") + phone +
                               QStringLiteral("\" υπάρχει στα πρόσθετα τηλέφωνα."),
                           rt::mb::Exclamation | rt::mb::OKOnly,
                           QStringLiteral("ΠΡΟΣΘΗΚΗ ΤΗΛΕΦΩΝΟΥ"));
            } else {
                m_cntrlPhones->AddPhone(phone, true);
            }
        } catch (const rt::RuntimeError&) {
        }
    }
}

rt::DbResult frmMessage_Edit::CreateInstantGroup(const rt::Query& Query)
{
    // The query runs first, so that a failing one leaves no empty group behind.
    rt::Recordset rs =
        mdlDataBase::MainDatabase().openRecordset(Query, rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        return rs.status();
    ++m_instantGroupCount;
    const QString id = mdlGroups::NewTempKey(QString());
    rt::Node node = m_groups->Nodes().AddChild(
        rootKey, groupPrefix + id,
        QStringLiteral("Προσωρινή Ομάδα ") + QString::number(m_instantGroupCount), 2, 3);
    node.setTag(instantTag);
    rt::ListItems master = m_lstMembers->ListItems();
    const int memberId = rs.fieldIndex(QStringLiteral("member_id"));
    for (; !rs.eof(); rs.moveNext()) {
        // A member added elsewhere after the window loaded is not in the window at all.
        rt::ListItem item = master.Item(memberPrefix + rs.field(memberId).toString());
        if (item)
            item.setTag(item.Tag() + id + QLatin1Char('\\'));
    }
    rs.close();
    return {};
}

// ---- message, originator and schedule ----------------------------------------------------

void frmMessage_Edit::Message_MessageChange()
{
    SetModified(true);
    const QString n = QString::number(MaxLength - m_message->Text().size());
    mdlMain::SetStatusPanel(pnlCharCount, n, QIcon(),
                            QStringLiteral("Απομένουν: ") + n + QStringLiteral(" Χαρακτήρες"));
}

void frmMessage_Edit::Message_TitleChange()
{
    SetModified(true);
}

void frmMessage_Edit::txtOriginator_Change()
{
    SetModified(true);
}

void frmMessage_Edit::cntrlPhones_PhonesChanged()
{
    UpdateRecipientCount();
}

void frmMessage_Edit::cmdOrigDefault_Click()
{
    m_txtOriginator->setText(mdlSettings::Originator);
}

void frmMessage_Edit::ShowSendTime()
{
    if (!SendTime.isEmpty()) {
        const QString when = SendDate + QStringLiteral(" - ") + SendTime;
        mdlMain::SetStatusPanel(pnlSMSDate, when, m_imageList->Icon(7),
                                QStringLiteral("Προγραμματισμένος Χρόνος Αποστολής: ") + when);
    } else {
        mdlMain::SetStatusPanel(pnlSMSDate, QStringLiteral("Άμεση Αποστολή"), m_imageList->Icon(8),
                                QStringLiteral("Προγραμματισμένος Χρόνος Αποστολής: Άμεσα"));
    }
}

void frmMessage_Edit::Toolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("btnInstantGroup"))
        showInstantGroupWizard();
    else if (key == QLatin1String("btnSaveMsg"))
        mdlDialogs::ReportFailure([this] { SaveMessage(false); });
    else if (key == QLatin1String("btnMsgTimer"))
        showScheduleDialog();
    else if (key == QLatin1String("btnSend"))
        mdlDialogs::ReportFailure([this] { SendMessage(); });
}

void frmMessage_Edit::showScheduleDialog()
{
    frmMessage_SetTime& dialog = rt::Forms::get<frmMessage_SetTime>();
    const std::optional<QDate> date = rt::ParseShortDate(SendDate);
    dialog.SetMessageTime(SendTime, SendDate.isEmpty() || !date ? rt::Date() : *date);
    connect(&dialog, &frmMessage_SetTime::ScheduleChosen, this, &frmMessage_Edit::takeSchedule,
            Qt::UniqueConnection);
    rt::Forms::showModal(dialog);
}

void frmMessage_Edit::takeSchedule(const QString& time, const QString& date)
{
    SendTime = time;
    SendDate = date;
    ShowSendTime();
}

void frmMessage_Edit::showInstantGroupWizard()
{
    frmInstantGroup& wizard = rt::Forms::get<frmInstantGroup>();
    connect(&wizard, &frmInstantGroup::CreateInstantGroup, this, &frmMessage_Edit::takeInstantGroup,
            Qt::UniqueConnection);
    rt::Forms::showModal(wizard);
}

void frmMessage_Edit::takeInstantGroup(const rt::Query& query)
{
    const rt::DbResult made = CreateInstantGroup(query);
    if (!made.ok)
        rt::reportUntrapped(databaseError(made));
}

// ---- load, save and send ------------------------------------------------------------------

void frmMessage_Edit::LoadMessage(qint32 MsID)
{
    m_groups->update();
    mdlMain::BusyPointer busy;
    m_formTitle->setCaption(editCaption);
    rt::Nodes nodes = m_groups->Nodes();
    const rt::Node root = nodes.Item(1);
    if (root) {
        m_groups->setSelectedItem(root);
        root.EnsureVisible();
    }
    for (int i = 1; i <= nodes.Count(); ++i)
        nodes.Item(i).setChecked(false);
    for (rt::ListItem master : m_lstMembers->ListItems())
        master.setChecked(false);
    MsgID = MsID;

    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT * FROM saved_messages WHERE msg_id=?;"), {MsID}},
        rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        throw databaseError(rs.status());
    if (rs.eof()) {
        // Deleted meanwhile: what is left is a new message, as a freshly opened window
        // holds it (which is what the main window loads into; it is left as it is).
        MsgID = 0;
        m_formTitle->setCaption(windowTitle());
        const QString newTitle = QStringLiteral("Νέο Μήνυμα"); // the editor's own first title
        if (m_message->Title() != newTitle)
            m_message->setTitle(newTitle);
        if (!m_message->Text().isEmpty())
            m_message->setText(QString());
        if (m_message->Flash())
            m_message->setFlash(false);
        if (m_txtOriginator->Text() != mdlSettings::Originator)
            m_txtOriginator->setText(mdlSettings::Originator);
    } else {
        const QString title =
            mdlDataBase::NullToEmpty(rs.field(QStringLiteral("msg_title"))).toString();
        m_formTitle->setCaption(m_formTitle->Caption() + QStringLiteral(" (") + title +
                                QLatin1Char(')'));
        m_message->setTitle(title);
        m_message->setText(
            mdlDataBase::NullToEmpty(rs.field(QStringLiteral("msg_text"))).toString());
        m_message->setFlash(rs.field(QStringLiteral("msg_flash")).toBool());
        m_txtOriginator->setText(
            mdlDataBase::NullToEmpty(rs.field(QStringLiteral("msg_originator"))).toString());
    }
    rs.close();
    UpdateRecipientCount();
    if (root)
        ShowGroupMembers(root.Key());
    SetModified(false);
}

void frmMessage_Edit::SaveMessage(bool NewMessage)
{
    if (trimBlanks(m_message->Text()).isEmpty()) {
        rt::MsgBox(QStringLiteral("Το μήνυμα που θέλετε να αποθηκεύσετε δεν περιέχει κείμενο.\n"
                                  "Πληκτρολογήστε το κείμενο του μηνύματος και αποθηκεύστε ξανά."),
                   rt::mb::Exclamation | rt::mb::OKOnly, QStringLiteral("ΑΠΟΘΗΚΕΥΣΗ ΜΗΝΥΜΑΤΟΣ"));
        return;
    }
    DoSave = false;
    rt::Forms::showModal(rt::Forms::get<frmMessage_Save>());
    if (!DoSave)
        return;

    // The window keeps naming its old row until the new one is written.
    const qint32 target = NewMessage ? 0 : MsgID;
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT * FROM saved_messages WHERE msg_id=?;"), {target}},
        rt::RecordsetType::Dynaset);
    if (!rs.isOpen())
        throw databaseError(rs.status());
    const rt::DbResult started = rs.eof() ? rs.addNew() : rs.edit();
    if (!started)
        throw databaseError(started);
    // A save stamps the row afresh: it carries the date and time of its last save.
    const QDateTime now = rt::Now();
    const std::pair<const char*, QVariant> fields[] = {
        {"msg_title", mdlDataBase::EmptyToNull(m_message->Title())},
        {"msg_text", mdlDataBase::EmptyToNull(m_message->Text())},
        {"msg_flash", m_message->Flash()},
        {"msg_originator", mdlDataBase::EmptyToNull(m_txtOriginator->Text())},
        {"msg_datecreated", rt::dbDate(now.date())},
        {"msg_timecreated", rt::dbTime(now.time())},
    };
    for (const auto& [name, value] : fields) {
        if (!rs.setField(QString::fromLatin1(name), value))
            throw rt::RuntimeError(3265, QStringLiteral("Item not found in this collection."),
                                   QStringLiteral("SQLite"));
    }
    if (const rt::DbResult written = rs.update(); !written)
        throw databaseError(written);
    MsgID = static_cast<qint32>(rs.lastModified());
    rs.close();

    SetModified(false);
    m_formTitle->setCaption(editCaption + QStringLiteral(" (") + m_message->Title() +
                            QLatin1Char(')'));
    rt::Forms::get<frmMain>().ReadSavedMessages();
}

QString frmMessage_Edit::BuildPhoneList()
{
    QStringList numbers;
    for (const rt::ListItem master : m_lstMembers->ListItems()) {
        if (master.Checked())
            numbers.append(master.SubItems(3));
    }
    return PhoneListText::Build(m_cntrlPhones->GetPhoneList(), numbers);
}

void frmMessage_Edit::NumbersRewritten(const RewrittenNumbers& numbers)
{
    // The window holds stored members only, as they were read.
    GroupTree::TakeRewrittenNumbers(*m_lstMembers, *m_members, numbers,
                                    [](const rt::ListItem&, const RewrittenNumber&) { return true; });
}

void frmMessage_Edit::SendMessage()
{
    if (m_messageSent && rt::MsgBox(QStringLiteral("Έχετε ήδη αποστείλει αυτό το μήνυμα.\n"
                                                   "Θέλετε να το ξαναστείλετε;"),
                                    rt::mb::Question | rt::mb::YesNo,
                                    QStringLiteral("Αποστολή Μηνύματος")) != rt::mb::Yes)
        return;
    const QString phoneList = BuildPhoneList();
    const qint32 id =
        mdlMain::AddOutboxMessage(m_message->Title(), m_message->Text(), m_txtOriginator->Text(),
                                  phoneList, SendDate, SendTime, m_message->Flash());
    if (id <= 0)
        return;
    // The batch may close this window while it waits for the server (the main window's
    // commands keep running): the mark is set only on a window that is still there.
    QPointer<frmMessage_Edit> self(this);
    rt::Forms::get<frmSendMessages>().SendOutBoxMessages(id);
    if (self && !isUnloading())
        m_messageSent = true;
}

// ---- the symbol palette ---------------------------------------------------------------------

void frmMessage_Edit::CharMap_SymbolClick(int Code)
{
    if (m_message->Text().size() < MaxLength)
        m_message->SendCharacter(rt::cp1253::character(static_cast<unsigned char>(Code)));
}

int frmMessage_Edit::paletteRight() const
{
    return m_cmdExpand->x() + m_cmdExpand->width();
}

void frmMessage_Edit::cmdExpand_Click()
{
    if (m_slideTimer.isActive()) {
        // A click while it slides sends it back the way it came, from where it is.
        m_paletteOpening = !m_paletteOpening;
        return;
    }
    const int r = paletteRight();
    if (m_charMap->isHidden()) {
        const int width = m_picMsgPanel->width() - r;
        m_charMap->setGeometry(r - width, 0, width, m_picMsgPanel->height());
        m_charMap->show();
        m_paletteOpening = true;
    } else {
        m_paletteOpening = false;
    }
    m_slideTimer.start();
}

void frmMessage_Edit::paletteStep()
{
    const int r = paletteRight();
    const int step = std::max(1, (m_charMap->width() + slideSteps - 1) / slideSteps);
    if (m_paletteOpening) {
        const int left = std::min(r, m_charMap->x() + step);
        m_charMap->move(left, 0);
        if (left >= r)
            paletteSlideEnded();
    } else {
        const int left = std::max(r - m_charMap->width(), m_charMap->x() - step);
        m_charMap->move(left, 0);
        if (left + m_charMap->width() <= r) {
            m_charMap->hide();
            paletteSlideEnded();
        }
    }
}

void frmMessage_Edit::paletteSlideEnded()
{
    m_slideTimer.stop();
    // The arrow turns only when the palette really changed sides.
    if (m_arrowShowsOpen != m_paletteOpening) {
        const QPixmap picture = m_cmdExpand->Picture();
        m_cmdExpand->setPicture(m_cmdExpand->PictureDown());
        m_cmdExpand->setPictureDown(picture);
        m_arrowShowsOpen = m_paletteOpening;
    }
    m_cmdExpand->setToolTipText(
        (m_paletteOpening ? QStringLiteral("Απόκρυψη") : QStringLiteral("Εμφάνιση")) +
        QStringLiteral(" του Πίνακα Χαρακτήρων"));
}

// ---- layout ------------------------------------------------------------------------------

void frmMessage_Edit::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    Form_Resize();
}

bool frmMessage_Edit::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == m_picMsgPanel)
            picMsgPanel_Resize();
        else if (watched == m_picGrpPanel)
            picGrpPanel_Resize();
        break;
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == m_picHSeperator)
            picHSeperator_MouseMove(mouse->buttons(), mouse->position().toPoint());
        else if (watched == m_picVSeperator)
            picVSeperator_MouseMove(mouse->buttons(), mouse->position().toPoint());
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (watched == m_picHSeperator)
                picHSeperator_MouseUp();
            else if (watched == m_picVSeperator)
                picVSeperator_MouseUp();
        }
        break;
    default:
        break;
    }
    return rt::Form::eventFilter(watched, event);
}

void frmMessage_Edit::Form_Resize()
{
    const int W = width();
    const int H = height();
    m_formTitle->resize(W, m_formTitle->height());
    m_picMsgPanel->setGeometry(0, m_picMsgPanel->y(), W, m_picMsgPanel->height());
    const int barTop = m_picMsgPanel->y() + m_picMsgPanel->height();
    m_picVSeperator->setGeometry(0, barTop, W, m_picVSeperator->height());
    const int groupTop = barTop + m_picVSeperator->height();
    if (H - groupTop >= 0)
        m_picGrpPanel->setGeometry(0, groupTop, W, H - groupTop);
}

void frmMessage_Edit::picMsgPanel_Resize()
{
    const int W = m_picMsgPanel->width();
    const int H = m_picMsgPanel->height();
    const int bw = m_cmdExpand->width();
    m_cmdExpand->setGeometry(W / 2 - bw / 2, 0, bw, H);
    const int r = paletteRight();
    if (m_cmdExpand->x() >= 0)
        m_message->setGeometry(0, 0, m_cmdExpand->x(), H);
    if (W - r >= 0) {
        m_cntrlPhones->setGeometry(r, 0, W - r, H);
        if (m_slideTimer.isActive())
            m_charMap->setGeometry(m_charMap->x(), 0, W - r, H);
        else if (!m_charMap->isHidden())
            m_charMap->setGeometry(m_cntrlPhones->geometry());
        else
            m_charMap->setGeometry(r - (W - r), m_charMap->y(), W - r, H);
    }
}

void frmMessage_Edit::picGrpPanel_Resize()
{
    const int W = m_picGrpPanel->width();
    const int H = m_picGrpPanel->height();
    m_groups->setGeometry(0, 0, m_groups->width(), H);
    m_picHSeperator->setGeometry(m_picHSeperator->x(), 0, m_picHSeperator->width(), H);
    const int left = m_picHSeperator->x() + m_picHSeperator->width();
    const int width = W - (left + m_groups->x());
    if (width >= 0)
        m_members->setGeometry(left, 0, width, H);
}

void frmMessage_Edit::picHSeperator_MouseMove(Qt::MouseButtons buttons, const QPoint& pos)
{
    if (!(buttons & Qt::LeftButton))
        return;
    if (!m_hDragging) {
        m_hDragging = true;
        m_hDragStart = pos.x();
        setBarColour(m_picHSeperator, QColor(0x80, 0x80, 0x80));
        return;
    }
    const int left = m_picHSeperator->x() + pos.x() - m_hDragStart;
    if (left > 0 && left < width() - toPixels(100))
        m_picHSeperator->move(left, m_picHSeperator->y());
}

void frmMessage_Edit::picHSeperator_MouseUp()
{
    if (!m_hDragging)
        return;
    m_hDragging = false;
    setBarColour(m_picHSeperator, palette().color(QPalette::Button));
    const int barLeft = m_picHSeperator->x();
    const int barWidth = m_picHSeperator->width();
    if (barLeft - m_groups->x() >= 0)
        m_groups->resize(barLeft - m_groups->x(), m_groups->height());
    const int width = this->width() - (m_groups->x() + barLeft + barWidth);
    if (width >= 0)
        m_members->setGeometry(barLeft + barWidth, m_members->y(), width, m_members->height());
}

void frmMessage_Edit::picVSeperator_MouseMove(Qt::MouseButtons buttons, const QPoint& pos)
{
    if (!(buttons & Qt::LeftButton))
        return;
    if (!m_vDragging) {
        m_vDragging = true;
        m_vDragStart = pos.y();
        setBarColour(m_picVSeperator, QColor(0x80, 0x80, 0x80));
        return;
    }
    const int top = m_picVSeperator->y() + pos.y() - m_vDragStart;
    if (top > m_picMsgPanel->y() + toPixels(800) && top < height() - toPixels(100))
        m_picVSeperator->move(m_picVSeperator->x(), top);
}

void frmMessage_Edit::picVSeperator_MouseUp()
{
    if (!m_vDragging)
        return;
    m_vDragging = false;
    setBarColour(m_picVSeperator, palette().color(QPalette::Button));
    const int barTop = m_picVSeperator->y();
    const int below = barTop + m_picVSeperator->height();
    if (barTop - m_picMsgPanel->y() >= 0)
        m_picMsgPanel->resize(m_picMsgPanel->width(), barTop - m_picMsgPanel->y());
    if (height() - below >= 0)
        m_picGrpPanel->setGeometry(0, below, width(), height() - below);
}
