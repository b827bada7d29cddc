#include "addressbook/frmGroup_Organize.h"

#include "addressbook/GroupTree.h"
#include "addressbook/frmCopyToTeam.h"
#include "addressbook/frmGroup_Edit.h"
#include "addressbook/frmMember_Edit.h"
#include "addressbook/frmMember_Find.h"
#include "addressbook/mdlGroups.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "compose/MessageWindowPictures.h"
#include "platform/Err.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/Recordset.h"
#include "platform/Toolbar.h"
#include "platform/Transaction.h"
#include "platform/TreeView.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QDrag>
#include <QHash>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QSet>
#include <algorithm>
#include <memory>
#include <vector>

using rt::toPixels;

namespace {

const QString& rootKey = mdlGroups::RootKey;
const QString& groupPrefix = mdlGroups::GroupKeyPrefix;
const QString& memberPrefix = mdlGroups::MemberKeyPrefix;
const QString flagAdded = QStringLiteral("ADDED");
const QString flagChanged = QStringLiteral("CHANGED");
const QString dragFormat = QStringLiteral("application/x-vantrel-organiser-members");

// Design places, in twips.
constexpr int barThickness = 75;
constexpr int groupsWidth = 3300;

// Deleted members per statement (one value each, well inside SQLite's limit of bound
// values).
constexpr int rowsPerStatement = 400;

rt::RuntimeError databaseError(const rt::DbResult& status)
{
    return rt::RuntimeError(status.number, status.description, QStringLiteral("SQLite"));
}

void check(const rt::DbResult& status)
{
    if (!status)
        throw databaseError(status);
}

// The hourglass for as long as the work runs, the default pointer again however it ends.
// The ids a membership list names: each text between two backslashes, exactly what the
// test for "\" & id & "\" finds (\0\5\12\ names 0, 5 and 12).
template <class Visit> void forEachListedId(const QString& list, Visit visit)
{
    qsizetype open = list.indexOf(QLatin1Char('\\'));
    while (open >= 0) {
        const qsizetype close = list.indexOf(QLatin1Char('\\'), open + 1);
        if (close < 0)
            return;
        if (!visit(QStringView(list).mid(open + 1, close - open - 1)))
            return;
        open = close;
    }
}

// A list with every id found in `renamed` replaced by its new id.
QString renameListedIds(const QString& list, const QHash<QString, QString>& renamed)
{
    if (renamed.isEmpty())
        return list;
    QString out;
    out.reserve(list.size() + 8);
    qsizetype done = 0;
    qsizetype open = list.indexOf(QLatin1Char('\\'));
    while (open >= 0) {
        const qsizetype close = list.indexOf(QLatin1Char('\\'), open + 1);
        if (close < 0)
            break;
        const QString id = list.mid(open + 1, close - open - 1);
        const auto found = renamed.constFind(id);
        if (found != renamed.constEnd()) {
            out += QStringView(list).mid(done, open + 1 - done);
            out += *found;
            done = close;
        }
        open = close;
    }
    out += QStringView(list).mid(done);
    return out;
}

bool listHoldsAny(const QString& list, const QHash<QString, QString>& ids)
{
    bool found = false;
    forEachListedId(list, [&](QStringView id) {
        found = ids.contains(id.toString());
        return !found;
    });
    return found;
}

// An id as the database compares it: a number when it is one.
QVariant idValue(const QString& id)
{
    bool isNumber = false;
    const qlonglong n = id.toLongLong(&isNumber);
    return isNumber ? QVariant(n) : QVariant(id);
}

void setBarColour(QWidget* bar, const QColor& colour)
{
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, colour);
    bar->setPalette(palette);
}

// The toolbar's 25 by 25 pictures, drawn rather than shipped as files.
QPixmap toolbarPicture(const QString& key)
{
    QPixmap pixmap(25, 25);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 52, 84);
    p.setPen(QPen(ink, 1.2));
    if (key == QLatin1String("btnNew")) {
        p.setBrush(QColor(250, 250, 246));
        p.drawRect(QRectF(5.5, 3.5, 13, 18));
        p.setPen(QPen(QColor(78, 154, 6), 2.4));
        p.drawLine(QPointF(17, 12), QPointF(17, 22));
        p.drawLine(QPointF(12, 17), QPointF(22, 17));
    } else if (key == QLatin1String("btnEdit")) {
        p.setBrush(QColor(237, 168, 40));
        QPolygonF pencil;
        pencil << QPointF(5, 20) << QPointF(7, 14) << QPointF(17, 4) << QPointF(21, 8)
               << QPointF(11, 18);
        p.drawPolygon(pencil);
    } else if (key == QLatin1String("btnDelete")) {
        p.setPen(QPen(QColor(204, 0, 0), 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(19, 19));
        p.drawLine(QPointF(19, 6), QPointF(6, 19));
    } else if (key == QLatin1String("btnSave")) {
        p.setBrush(QColor(52, 101, 164));
        p.drawRoundedRect(QRectF(4.5, 4.5, 16, 16), 2, 2);
        p.setBrush(QColor(250, 250, 246));
        p.drawRect(QRectF(8.5, 4.5, 8, 6));
        p.drawRect(QRectF(7.5, 14.5, 10, 6));
    } else if (key == QLatin1String("btnFind")) {
        p.setPen(QPen(ink, 2.0));
        p.setBrush(QColor(220, 232, 245));
        p.drawEllipse(QPointF(10, 10), 6, 6);
        p.setPen(QPen(ink, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
    }
    return pixmap;
}

} // namespace

frmGroup_Organize::frmGroup_Organize() : rt::Form(QStringLiteral("frmGroup_Organize"))
{
    mdlMain::SetUpDockedWindow(*this, QStringLiteral("Οργάνωση Ομάδων"));

    // 1 the root, 2 a group, 3 the selected group, 4 a member of the shown group itself,
    // 5 a member reached through a group below it: the message window's pictures.
    m_imageList = new rt::ImageList(this);
    m_imageList->setObjectName(QStringLiteral("ImageList"));
    for (int i = 1; i <= 5; ++i)
        m_imageList->Add(MessageWindowPictures::ImageListPicture(i));
    m_toolbarImages = new rt::ImageList(this);
    m_toolbarImages->setObjectName(QStringLiteral("ToolbarImages"));

    m_formTitle = mdlMain::AddFormTitle(*this);

    m_toolbar = new rt::Toolbar(QStringLiteral("Toolbar"), this);
    mdlMain::AddToolbarButtons(*m_toolbar, *m_toolbarImages, toolbarPicture,
                               {
                                   {"btnNew", "Δημιουργία", "Δημιουργία Νέου Μέλους ή Νέας Ομάδας"},
                                   {"btnEdit", "Διόρθωση", "Διόρθωση Μέλους ή Ομάδας"},
                                   {"btnDelete", "Διαγραφή", "Διαγραφή Μέλους ή Ομάδας"},
                                   {"btnSave", "Αποθήκευση", "Αποθήκευση Ομάδων & Μελών"},
                                   {"btnFind", "Αναζήτηση", "Αναζήτηση Μελών"},
                               });
    m_toolbar->AddButtonMenu(QStringLiteral("btnNew"), QStringLiteral("btnNewGroup"),
                             QStringLiteral("Νέας Ομάδας"));
    m_toolbar->AddButtonMenu(QStringLiteral("btnNew"), QStringLiteral("btnNewMember"),
                             QStringLiteral("Νέου Μέλους"));
    m_toolbar->resize(m_toolbar->sizeHint());
    connect(m_toolbar, &rt::Toolbar::ButtonClick, this, &frmGroup_Organize::Toolbar_ButtonClick);
    connect(m_toolbar, &rt::Toolbar::ButtonMenuClick, this,
            &frmGroup_Organize::Toolbar_ButtonMenuClick);

    m_groups = new rt::TreeView(this);
    m_groups->setObjectName(QStringLiteral("Groups"));
    m_groups->setImageList(m_imageList);
    m_groups->viewport()->setAcceptDrops(true);
    m_groups->viewport()->installEventFilter(this);
    m_groups->installEventFilter(this);
    connect(m_groups, &rt::TreeView::NodeClick, this, &frmGroup_Organize::Groups_NodeClick);
    connect(m_groups, &rt::TreeView::MouseDown, this, [this] { UpdateCommandStates(); });
    connect(m_groups, &rt::TreeView::MouseUp, this, &frmGroup_Organize::Groups_MouseUp);

    m_picSeperator = new QWidget(this);
    m_picSeperator->setObjectName(QStringLiteral("picSeperator"));
    m_picSeperator->setAutoFillBackground(true);
    m_picSeperator->setCursor(Qt::SizeHorCursor);
    setBarColour(m_picSeperator, palette().color(QPalette::Button));
    m_picSeperator->installEventFilter(this);

    m_members = new rt::ListView(this);
    m_members->setObjectName(QStringLiteral("Members"));
    m_members->setMultiSelect(true);
    m_members->setSmallIcons(m_imageList);
    m_members->AddColumn(QStringLiteral("Επίθετο"), 2000);
    m_members->AddColumn(QStringLiteral("Όνομα"), 1600);
    m_members->AddColumn(QStringLiteral("Επάγγελμα"), 1800);
    m_members->AddColumn(QStringLiteral("Κινητό"), 1500);
    m_members->viewport()->installEventFilter(this);
    m_members->installEventFilter(this);
    connect(m_members, &rt::ListView::MouseDown, this, [this] { UpdateCommandStates(); });
    connect(m_members, &rt::ListView::MouseUp, this, &frmGroup_Organize::Members_MouseUp);

    // The member cache: every member once, in surname order, new ones appended.
    m_lstMembers = new rt::ListView(this);
    m_lstMembers->setObjectName(QStringLiteral("lstMembers"));
    m_lstMembers->AddColumn(QStringLiteral("lastname"));
    m_lstMembers->AddColumn(QStringLiteral("firstname"));
    m_lstMembers->AddColumn(QStringLiteral("occupation"));
    m_lstMembers->AddColumn(QStringLiteral("phone"));
    m_lstMembers->hide();

    m_lstDeleted = new QListWidget(this);
    m_lstDeleted->setObjectName(QStringLiteral("lstDeleted"));
    m_lstDeleted->hide();
    m_clipboard = new QListWidget(this);
    m_clipboard->setObjectName(QStringLiteral("Clipboard"));
    m_clipboard->hide();

    m_mnGroups = new PopupMenuControl(QStringLiteral("mnGroups"), this);
    m_mnMembers = new PopupMenuControl(QStringLiteral("mnMembers"), this);
    m_mnDragDrop = new PopupMenuControl(QStringLiteral("mnDragDrop"), this);
    connect(m_mnGroups, &PopupMenuControl::Click, this, &frmGroup_Organize::mnGroups_Click);
    connect(m_mnMembers, &PopupMenuControl::Click, this, &frmGroup_Organize::mnMembers_Click);
    connect(m_mnDragDrop, &PopupMenuControl::Click, this, &frmGroup_Organize::mnDragDrop_Click);

    const int top = toPixels(mdlMain::FormTitleHeight);
    m_groups->setGeometry(0, top, toPixels(groupsWidth), height() - top);
    m_picSeperator->setGeometry(m_groups->width(), top, toPixels(barThickness), height() - top);
    Form_Resize();
}

// ---- load and unload ------------------------------------------------------------------

void frmGroup_Organize::Form_Load()
{
    mdlMain::DockChildForm(*this, *m_formTitle, *m_toolbar);
    try {
        LoadGroups();
        LoadMembers();
    } catch (const rt::RuntimeError& error) {
        // The window still docks with what was read, so that it can be closed again.
        mdlMain::SetMousePointer(0);
        rt::reportUntrapped(error);
    }
    // The tree commands act on the selected node: the root until the user picks another.
    if (const rt::Node root = m_groups->Nodes().Item(1)) {
        m_groups->setSelectedItem(root);
        ShowGroupMembers(root.Key());
    }
    SetPending(false);
    mdlGroups::ClearSearchCriteria();

    m_mnGroups->AddMenuItem(QStringLiteral("mnNew"), QStringLiteral("Δημιουργία Ομάδας"));
    m_mnGroups->AddMenuItem(QStringLiteral("mnEdit"), QStringLiteral("Διόρθωση Ομάδας"));
    m_mnGroups->AddMenuItem(QString(), QStringLiteral("-"));
    m_mnGroups->AddMenuItem(QStringLiteral("mnCut"), QStringLiteral("Αποκοπή"));
    m_mnGroups->AddMenuItem(QStringLiteral("mnCopy"), QStringLiteral("Αντιγραφή"));
    m_mnGroups->AddMenuItem(QStringLiteral("mnPaste"), QStringLiteral("Επικόληση"));
    m_mnGroups->AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));

    m_mnMembers->AddMenuItem(QStringLiteral("mnNew"), QStringLiteral("Δημιουργία Μέλους"));
    m_mnMembers->AddMenuItem(QStringLiteral("mnEdit"), QStringLiteral("Διόρθωση Μέλους"));
    m_mnMembers->AddMenuItem(QString(), QStringLiteral("-"));
    m_mnMembers->AddMenuItem(QStringLiteral("mnCut"), QStringLiteral("Αποκοπή"));
    m_mnMembers->AddMenuItem(QStringLiteral("mnCopy"), QStringLiteral("Αντιγραφή"));
    m_mnMembers->AddMenuItem(QStringLiteral("mnPaste"), QStringLiteral("Επικόλληση"));
    m_mnMembers->AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
    m_mnMembers->AddMenuItem(QString(), QStringLiteral("-"));
    m_mnMembers->AddMenuItem(QStringLiteral("mnMembersToGroup"),
                             QStringLiteral("Μεταφορά σε Ομάδα"));

    m_mnDragDrop->AddMenuItem(QStringLiteral("mnCopy"), QStringLiteral("Αντιγραφή εδώ"));
    m_mnDragDrop->AddMenuItem(QStringLiteral("mnMove"), QStringLiteral("Μετακίνηση εδώ"));

    UpdateCommandStates();
}

void frmGroup_Organize::Form_Unload(bool& cancel)
{
    if (HasPendingChanges()) {
        const int answer = rt::MsgBox(
            QStringLiteral("Έχετε κάνει αλλαγές σε κάποιες ομάδες ή σε κάποια μέλη.\n"
                           "Θέλετε να τις αποθηκεύσετε;"),
            rt::mb::Question | rt::mb::YesNoCancel, QStringLiteral("ΑΠΟΘΗΚΕΥΣΗ ΑΛΛΑΓΩΝ"));
        if (answer == rt::mb::Cancel) {
            cancel = true;
            return;
        }
        // A save that fails keeps the window, and its changes, where they are.
        if (answer == rt::mb::Yes && !SaveChanges()) {
            cancel = true;
            return;
        }
    }
    mdlMain::UndockChildForm(*this, *m_toolbar);
}

void frmGroup_Organize::showEvent(QShowEvent* event)
{
    rt::Form::showEvent(event);
    UpdateCommandStates();
}

// ---- the group tree and the member cache ------------------------------------------------

void frmGroup_Organize::LoadGroups()
{
    m_groups->Nodes().Clear();
    GroupTree::LoadGroups(*m_groups);
}

void frmGroup_Organize::LoadMembers()
{
    GroupTree::LoadMembers(*m_lstMembers);
}

void frmGroup_Organize::ShowGroupMembers(const QString& GroupKey)
{
    rt::ListItems shown = m_members->ListItems();
    shown.Clear();
    m_members->hide();
    mdlMain::BusyPointer busy;

    // The shown group's id first, then every group below it: the first of these ids that
    // a member's list names decides its icon.
    GroupTree::AddGroupMembers(*m_lstMembers, *m_members, m_groups->Nodes().Item(GroupKey), false);
    // The tree's tag names the group the list shows, however it came to be shown.
    m_groups->setTag(GroupKey);
    m_members->show();
}

void frmGroup_Organize::ChooseCurrentRow(const QStringList& keys, int place)
{
    rt::ListItems rows = m_members->ListItems();
    if (rows.Count() == 0)
        return;
    const QSet<QString> wanted(keys.begin(), keys.end());
    rt::ListItem first;
    for (rt::ListItem row : rows) {
        const bool chosen = wanted.contains(row.Key());
        row.setSelected(chosen);
        if (chosen && !first)
            first = row;
    }
    if (!first && place > 0)
        first = rows.Item(std::min(place, rows.Count()));
    if (!first)
        return;
    m_members->setSelectedItem(first);
    first.EnsureVisible();
}

QStringList frmGroup_Organize::selectedRowKeys() const
{
    QStringList keys;
    for (const rt::ListItem row : m_members->ListItems()) {
        if (row.Selected())
            keys.append(row.Key());
    }
    return keys;
}

void frmGroup_Organize::RemoveGroupFromMembers(const QString& GroupKey)
{
    const QString id = mdlGroups::KeyToId(GroupKey);
    // Only the members whose list held the group change, so only they are written again.
    for (rt::ListItem member : m_lstMembers->ListItems()) {
        if (mdlGroups::MembershipHas(member.Tag(), id)) {
            member.setTag(mdlGroups::RemoveMembership(member.Tag(), id));
            markChanged(member);
        }
    }
    SetPending(true);
}

void frmGroup_Organize::markChanged(rt::ListItem& member)
{
    if (member.SubItemTag(1) != flagAdded)
        member.setSubItemTag(1, flagChanged);
}

void frmGroup_Organize::MarkDeleted(const QString& Key, int Kind)
{
    auto* entry = new QListWidgetItem(Key);
    entry->setData(Qt::UserRole, Kind);
    m_lstDeleted->addItem(entry);
}

void frmGroup_Organize::SetPending(bool on)
{
    m_toolbar->setButtonEnabled(QStringLiteral("btnSave"), on);
}

bool frmGroup_Organize::HasPendingChanges() const
{
    return m_toolbar->isButtonEnabled(QStringLiteral("btnSave"));
}

rt::Node frmGroup_Organize::selectedNode() const
{
    // No selection counts as the root.
    const rt::Node selected = m_groups->SelectedItem();
    return selected ? selected : m_groups->Nodes().Item(1);
}

bool frmGroup_Organize::isRoot(const rt::Node& node) const
{
    return !node || node.Index() == 1;
}

bool frmGroup_Organize::selectionAtTop() const
{
    const rt::Node node = selectedNode();
    return isRoot(node) || (node.Parent() && node.Parent().Index() == 1);
}

QString frmGroup_Organize::ActiveControlName() const
{
    const QWidget* active = focusWidget();
    if (active == m_groups)
        return m_groups->objectName();
    if (active == m_members)
        return m_members->objectName();
    return QString();
}

void frmGroup_Organize::UpdateCommandStates()
{
    const QString active = ActiveControlName();
    if (active.isEmpty())
        return;
    const rt::Node node = selectedNode();
    const bool root = isRoot(node);
    const bool rows = m_members->ListItems().Count() > 0;
    const bool held = m_clipboard->count() > 0;
    bool edit, cut, copy, paste;
    if (active == m_groups->objectName()) {
        edit = !root;
        cut = !root && node.Children() == 0;
        copy = !root;
        paste = held && (m_clipboardAction == 4 || m_clipboardAction == 5) && selectionAtTop();
    } else {
        edit = rows;
        cut = !root && rows;
        copy = rows;
        paste = held && (m_clipboardAction == 1 || m_clipboardAction == 2) && !root;
    }
    m_toolbar->setButtonEnabled(QStringLiteral("btnEdit"), edit);
    m_toolbar->setButtonEnabled(QStringLiteral("btnDelete"), edit);
    try {
        if (frmMain* main = rt::Forms::find<frmMain>()) {
            main->SetMenuState(QStringLiteral("mn_Cut"), cut);
            main->SetMenuState(QStringLiteral("mn_Copy"), copy);
            main->SetMenuState(QStringLiteral("mn_Paste"), paste);
        }
    } catch (const rt::RuntimeError&) {
    }
}

void frmGroup_Organize::Groups_NodeClick(const rt::Node& node)
{
    if (node.Key() != m_groups->Tag())
        ShowGroupMembers(node.Key());
    UpdateCommandStates();
}

// ---- pop-up menus and toolbar -----------------------------------------------------------

void frmGroup_Organize::Groups_MouseUp(int button, int shift, const QPoint& pos)
{
    Q_UNUSED(shift);
    Q_UNUSED(pos);
    if (button != 2)
        return;
    const rt::Node node = selectedNode();
    const bool root = isRoot(node);
    m_mnGroups->setMenuState(QStringLiteral("mnEdit"), !root);
    m_mnGroups->setMenuState(QStringLiteral("mnCopy"), !root);
    m_mnGroups->setMenuState(QStringLiteral("mnDelete"), !root);
    m_mnGroups->setMenuState(QStringLiteral("mnCut"), !root && node.Children() == 0);
    m_mnGroups->setMenuState(QStringLiteral("mnPaste"),
                             (m_clipboardAction == 4 || m_clipboardAction == 5) &&
                                 m_clipboard->count() > 0 && selectionAtTop());
    m_mnGroups->setMenuState(QStringLiteral("mnNew"), true);
    m_mnGroups->ShowPopupMenu();
}

void frmGroup_Organize::Members_MouseUp(int button, int shift, const QPoint& pos)
{
    Q_UNUSED(shift);
    Q_UNUSED(pos);
    if (button != 2)
        return;
    const bool rows = m_members->ListItems().Count() > 0;
    const bool root = isRoot(selectedNode());
    m_mnMembers->setMenuState(QStringLiteral("mnEdit"), rows);
    m_mnMembers->setMenuState(QStringLiteral("mnCopy"), rows);
    m_mnMembers->setMenuState(QStringLiteral("mnDelete"), rows);
    m_mnMembers->setMenuState(QStringLiteral("mnCut"), rows && !root);
    m_mnMembers->setMenuState(QStringLiteral("mnPaste"),
                              (m_clipboardAction == 1 || m_clipboardAction == 2) && !root &&
                                  m_clipboard->count() > 0);
    m_mnMembers->setMenuState(QStringLiteral("mnNew"), true);
    m_mnMembers->setMenuState(QStringLiteral("mnMembersToGroup"), true);
    m_mnMembers->ShowPopupMenu();
}

void frmGroup_Organize::mnGroups_Click(const QString& MenuName, bool Checked)
{
    Q_UNUSED(Checked);
    if (MenuName == QLatin1String("mnNew"))
        NewGroup();
    else if (MenuName == QLatin1String("mnEdit"))
        EditGroup();
    else if (MenuName == QLatin1String("mnDelete"))
        DeleteGroup();
    else if (MenuName == QLatin1String("mnCut"))
        AddGroupToClipboard(5);
    else if (MenuName == QLatin1String("mnCopy"))
        AddGroupToClipboard(4);
    else if (MenuName == QLatin1String("mnPaste"))
        PasteGroupFromClipboard();
    UpdateCommandStates();
}

void frmGroup_Organize::mnMembers_Click(const QString& MenuName, bool Checked)
{
    Q_UNUSED(Checked);
    if (MenuName == QLatin1String("mnNew")) {
        NewMember();
    } else if (MenuName == QLatin1String("mnEdit")) {
        EditMember();
    } else if (MenuName == QLatin1String("mnDelete")) {
        DeleteMember();
    } else if (MenuName == QLatin1String("mnCut")) {
        AddMembersToClipboard(2);
    } else if (MenuName == QLatin1String("mnCopy")) {
        AddMembersToClipboard(1);
    } else if (MenuName == QLatin1String("mnPaste")) {
        PasteMembersFromClipboard();
    } else if (MenuName == QLatin1String("mnMembersToGroup")) {
        frmCopyToTeam& dialog = rt::Forms::get<frmCopyToTeam>();
        if (dialog.MoveMembers())
            rt::Forms::showModal(dialog);
    }
    UpdateCommandStates();
}

void frmGroup_Organize::Toolbar_ButtonClick(const QString& key)
{
    const QString active = ActiveControlName();
    const bool groups = active == m_groups->objectName();
    const bool members = active == m_members->objectName();
    if (key == QLatin1String("btnNew")) {
        if (groups)
            NewGroup();
        else if (members)
            NewMember();
    } else if (key == QLatin1String("btnEdit")) {
        if (groups)
            EditGroup();
        else if (members)
            EditMember();
    } else if (key == QLatin1String("btnDelete")) {
        if (groups)
            DeleteGroup();
        else if (members)
            DeleteMember();
    } else if (key == QLatin1String("btnSave")) {
        SaveChanges();
    } else if (key == QLatin1String("btnFind")) {
        rt::Forms::get<frmMember_Find>().SearchMember();
    }
}

void frmGroup_Organize::Toolbar_ButtonMenuClick(const QString& buttonKey, const QString& itemKey)
{
    Q_UNUSED(buttonKey);
    if (itemKey == QLatin1String("btnNewGroup"))
        NewGroup();
    else if (itemKey == QLatin1String("btnNewMember"))
        NewMember();
}

void frmGroup_Organize::CutCommand()
{
    const QString active = ActiveControlName();
    if (active == m_groups->objectName())
        AddGroupToClipboard(5);
    else if (active == m_members->objectName())
        AddMembersToClipboard(2);
}

void frmGroup_Organize::CopyCommand()
{
    const QString active = ActiveControlName();
    if (active == m_groups->objectName())
        AddGroupToClipboard(4);
    else if (active == m_members->objectName())
        AddMembersToClipboard(1);
}

void frmGroup_Organize::PasteCommand()
{
    const QString active = ActiveControlName();
    if (active == m_groups->objectName())
        PasteGroupFromClipboard();
    else if (active == m_members->objectName())
        PasteMembersFromClipboard();
}

// ---- group commands ---------------------------------------------------------------------

void frmGroup_Organize::NewGroup()
{
    // The tree keeps two levels below the root: a new group beside a subgroup.
    const rt::Node node = selectedNode();
    QString parentKey = rootKey;
    if (!isRoot(node))
        parentKey = node.Parent().Index() == 1 ? node.Key() : node.Parent().Key();
    frmGroup_Edit& dialog = rt::Forms::get<frmGroup_Edit>();
    dialog.EditGroup(QString(), parentKey, QString());
    rt::Forms::showModal(dialog);
}

void frmGroup_Organize::EditGroup()
{
    const rt::Node node = selectedNode();
    if (isRoot(node))
        return;
    frmGroup_Edit& dialog = rt::Forms::get<frmGroup_Edit>();
    dialog.EditGroup(node.Key(), node.Parent().Key(), node.Text());
    rt::Forms::showModal(dialog);
}

void frmGroup_Organize::UpdateGroup(const QString& ParentKey, QString& GroupKey,
                                    const QString& GroupName)
{
    rt::Nodes nodes = m_groups->Nodes();
    const rt::Node parent = nodes.Item(ParentKey);
    if (!parent)
        return;
    if (GroupKey.isEmpty())
        GroupKey = mdlGroups::NewTempKey(groupPrefix);
    rt::Node node = nodes.Item(GroupKey);
    if (node) {
        // A rename leaves the group where it stands among its siblings.
        if (!(node.Parent() == parent))
            node.setParent(parent);
        node.setText(GroupName);
        if (node.Tag() != flagAdded)
            node.setTag(flagChanged);
    } else {
        node = nodes.AddChild(parent, GroupKey, GroupName, 2, 3);
        if (!node)
            return;
        node.setTag(flagAdded);
    }
    m_groups->setSelectedItem(node);
    node.EnsureVisible();
    if (node.Key() != m_groups->Tag())
        ShowGroupMembers(node.Key());
    SetPending(true);
    UpdateCommandStates();
}

void frmGroup_Organize::DeleteGroup()
{
    const QString title = QStringLiteral("ΔΙΑΓΡΑΦΗ ΟΜΑΔΑΣ");
    rt::Node node = selectedNode();
    if (isRoot(node)) {
        rt::MsgBox(QStringLiteral("Δεν μπορείτε να διαγράψετε αυτή την ομάδα."),
                   rt::mb::Exclamation | rt::mb::OKOnly, title);
        return;
    }
    if (rt::MsgBox(QStringLiteral("Πρόκειτε να διαγράψετε την ομάδα \"") + node.Text() +
                       QStringLiteral("\"και όλες τις υποομάδες που περιέχει.\n"
                                      "Θέλετε να συνεχίσετε;"),
                   rt::mb::Question | rt::mb::YesNo, title) != rt::mb::Yes)
        return;
    // The group, then everything below it, is queued for deletion; the members only lose
    // those memberships.
    const rt::Node parent = node.Parent();
    std::vector<rt::Node> order{node};
    for (size_t i = 0; i < order.size(); ++i) {
        for (rt::Node child = order[i].Child(); child; child = child.Next())
            order.push_back(child);
    }
    for (const rt::Node& group : order) {
        MarkDeleted(group.Key(), 2);
        RemoveGroupFromMembers(group.Key());
    }
    m_groups->Nodes().Remove(node);
    SetPending(true);
    m_groups->setSelectedItem(parent);
    parent.EnsureVisible();
    ShowGroupMembers(parent.Key());
    UpdateCommandStates();
}

// ---- member commands --------------------------------------------------------------------

namespace {

// Prepares the member edit dialog and shows it; a database failure while it fills its
// list of occupations is shown and the dialog is not.
void showMemberDialog(const QString& memberKey, const QString& groupKey, const QString& lastName,
                      const QString& firstName, const QString& occupation, const QString& phone)
{
    frmMember_Edit& dialog = rt::Forms::get<frmMember_Edit>();
    try {
        dialog.EditMember(memberKey, groupKey, lastName, firstName, occupation, phone);
    } catch (const rt::RuntimeError& error) {
        rt::Forms::unload(&dialog);
        rt::reportUntrapped(error);
        return;
    }
    rt::Forms::showModal(dialog);
}

} // namespace

void frmGroup_Organize::NewMember()
{
    showMemberDialog(QString(), selectedNode().Key(), QString(), QString(), QString(), QString());
}

void frmGroup_Organize::EditMember()
{
    if (m_members->ListItems().Count() == 0)
        return;
    const rt::ListItem row = m_members->SelectedItem();
    if (!row)
        return;
    showMemberDialog(row.Key(), selectedNode().Key(), row.Text(), row.SubItems(1), row.SubItems(2),
                     row.SubItems(3));
}

void frmGroup_Organize::MemberEdited(const QString& MemberKey, const QString& GroupKey,
                                     const QString& LastName, const QString& FirstName,
                                     const QString& Occupation, const QString& Phone)
{
    UpdateMember(MemberKey, GroupKey, LastName, FirstName, Occupation, Phone);
}

void frmGroup_Organize::NumbersRewritten(const RewrittenNumbers& numbers)
{
    GroupTree::TakeRewrittenNumbers(
        *m_lstMembers, *m_members, numbers,
        [](const rt::ListItem& member, const RewrittenNumber& number) {
            // A member added since the load is not stored: the rewrite did not touch it.
            // An edited member keeps a number the user typed; a number as it was read
            // (its other fields edited, or nothing at all) follows the rewrite, and the
            // save writes the new one.
            const QString flag = member.SubItemTag(1);
            return flag != flagAdded && (flag.isEmpty() || member.SubItems(3) == number.before);
        });
}

void frmGroup_Organize::UpdateMember(const QString& MemberKey, const QString& GroupKey,
                                     const QString& LastName, const QString& FirstName,
                                     const QString& Occupation, const QString& Phone)
{
    const QString s = mdlGroups::KeyToId(GroupKey) + QLatin1Char('\\');
    const QString key = MemberKey.isEmpty() ? mdlGroups::NewTempKey(memberPrefix) : MemberKey;
    rt::ListItems cache = m_lstMembers->ListItems();
    rt::ListItem member = cache.Item(key);
    QString flag = flagChanged;
    if (!member) {
        member = cache.Add(key, LastName);
        flag = flagAdded;
    }
    member.setText(LastName);
    member.setSubItems(1, FirstName);
    member.setSubItems(2, Occupation);
    member.setSubItems(3, Phone);
    if (member.Tag().isEmpty()) {
        QString list = QStringLiteral("\\0\\");
        if (s != QLatin1String("0\\"))
            list += s;
        member.setTag(list);
    }
    // A member added and edited again before a save is still written as a new row.
    member.setSubItemTag(1, member.SubItemTag(1) == flagAdded ? flagAdded : flag);

    ShowGroupMembers(selectedNode().Key());
    if (rt::ListItem row = m_members->ListItems().Item(key)) {
        m_members->setSelectedItem(row);
        row.EnsureVisible();
    }
    SetPending(true);
}

void frmGroup_Organize::DeleteMember()
{
    rt::ListItems rows = m_members->ListItems();
    if (rows.Count() == 0)
        return;
    const int n = mdlGroups::SelectedItemCount(*m_members);
    // With nothing selected there is nothing to delete.
    if (n == 0)
        return;
    const rt::Node node = selectedNode();
    QString what;
    if (n > 1) {
        what = QString::number(n) + QStringLiteral(" μέλη");
    } else {
        rt::ListItem one = m_members->SelectedItem();
        if (!one || !one.Selected()) {
            for (const rt::ListItem row : rows) {
                if (row.Selected()) {
                    one = row;
                    break;
                }
            }
        }
        what = QStringLiteral("το μέλος \"") + one.Text() + QLatin1Char(' ') + one.SubItems(1) +
               QLatin1Char('"');
    }
    if (rt::MsgBox(
            QStringLiteral("Πρόκειτε να διαγράψετε ") + what + QStringLiteral(" από την ομάδα \"") +
                node.Text() + QStringLiteral("\"\nΘέλετε να συνεχίσετε;"),
            rt::mb::Question | rt::mb::YesNo, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΕΛΩΝ")) != rt::mb::Yes)
        return;

    const bool root = isRoot(node);
    const QString id = mdlGroups::KeyToId(node.Key());
    rt::ListItems cache = m_lstMembers->ListItems();
    m_members->hide();
    // The list makes the row in the place of the first one removed current and selected.
    for (int i = rows.Count(); i >= 1; --i) {
        const rt::ListItem row = rows.Item(i);
        if (!row.Selected())
            continue;
        if (root) {
            MarkDeleted(row.Key(), 1);
            cache.Remove(row.Key());
        } else if (rt::ListItem member = cache.Item(row.Key())) {
            member.setTag(mdlGroups::RemoveMembership(member.Tag(), id));
            markChanged(member);
        }
        rows.Remove(i);
    }
    m_members->show();
    SetPending(true);
    UpdateCommandStates();
}

void frmGroup_Organize::FindMembers(QString& LName, QString& FName, QString& Phone, QString& Occup)
{
    LName = LName.toUpper();
    FName = FName.toUpper();
    Occup = Occup.toUpper();
    struct Criterion {
        const QString* text;
        int field; // 0 the surname, k the sub-item k
    };
    std::vector<Criterion> given;
    for (const Criterion& c :
         {Criterion{&LName, 0}, Criterion{&FName, 1}, Criterion{&Occup, 2}, Criterion{&Phone, 3}}) {
        if (!c.text->isEmpty())
            given.push_back(c);
    }
    if (given.empty())
        return;

    rt::ListItem first;
    for (rt::ListItem row : m_members->ListItems()) {
        const bool match = std::all_of(given.begin(), given.end(), [&](const Criterion& c) {
            const QString field = c.field == 0 ? row.Text() : row.SubItems(c.field);
            return field.toUpper().startsWith(*c.text);
        });
        row.setSelected(match);
        if (match && !first)
            first = row;
    }
    if (first) {
        // The first match becomes the current row too, so that the keys and Edit go on
        // from it; the other matches stay selected.
        m_members->setSelectedItem(first);
        first.EnsureVisible();
        rt::Forms::unload<frmMember_Find>();
        m_members->setFocus();
    } else {
        rt::MsgBox(QStringLiteral("Δεν βρέθηκαν μέλη με τα στοιχεία που δώσατε."),
                   rt::mb::Information | rt::mb::OKOnly, QStringLiteral("ΑΝΑΖΗΤΗΣΗ"));
        if (frmMember_Find* finder = rt::Forms::find<frmMember_Find>()) {
            finder->activateWindow();
            finder->setFocus();
        }
    }
}

// ---- the clipboard ----------------------------------------------------------------------

void frmGroup_Organize::ClearClipboard()
{
    m_clipboard->clear();
    m_clipboardAction = 0;
}

void frmGroup_Organize::AddGroupToClipboard(int Action)
{
    const rt::Node node = selectedNode();
    // The root is no group to cut or copy, and a group with subgroups is not cut.
    if (isRoot(node) || (Action == 5 && node.Children() > 0))
        return;
    m_clipboard->clear();
    m_clipboard->addItem(node.Key());
    m_clipboardAction = Action;
    UpdateCommandStates();
}

void frmGroup_Organize::PasteGroupFromClipboard()
{
    if (m_clipboard->count() == 0 || (m_clipboardAction != 4 && m_clipboardAction != 5) ||
        !selectionAtTop())
        return;
    const rt::Node target = selectedNode();
    rt::Node source = m_groups->Nodes().Item(m_clipboard->item(0)->text());
    bool done = false;
    if (!source) {
        // The group was deleted since: nothing to paste.
    } else if (m_clipboardAction == 5) {
        // A cut group has no subgroups, so under the root or a top-level group it stays
        // within two levels. Pasting it onto itself does nothing.
        if (!(source == target) && source.Children() == 0 && source.setParent(target)) {
            if (source.Tag() != flagAdded)
                source.setTag(flagChanged);
            done = true;
        }
    } else {
        const QString key = mdlGroups::NewTempKey(groupPrefix);
        rt::Node copy = m_groups->Nodes().AddChild(target, key, source.Text(), 2, 3);
        if (copy) {
            copy.setTag(flagAdded);
            const QString from = mdlGroups::KeyToId(source.Key());
            const QString to = mdlGroups::KeyToId(key);
            for (rt::ListItem member : m_lstMembers->ListItems()) {
                if (mdlGroups::MembershipHas(member.Tag(), from)) {
                    member.setTag(mdlGroups::AddMembership(member.Tag(), to));
                    markChanged(member);
                }
            }
            done = true;
        }
    }
    ClearClipboard();
    if (done)
        SetPending(true);
    UpdateCommandStates();
}

void frmGroup_Organize::AddMembersToClipboard(int Action)
{
    m_clipboard->clear();
    QStringList keys;
    for (rt::ListItem row : m_members->ListItems()) {
        row.setGhosted(false);
        if (!row.Selected())
            continue;
        keys.append(row.Key());
        if (Action == 2)
            row.setGhosted(true);
    }
    m_clipboard->addItems(keys);
    m_clipboardTag = selectedNode().Key();
    m_clipboardAction = Action;
    UpdateCommandStates();
}

void frmGroup_Organize::PasteMembersFromClipboard()
{
    const rt::Node target = selectedNode();
    if (m_clipboard->count() == 0 || (m_clipboardAction != 1 && m_clipboardAction != 2) ||
        isRoot(target))
        return;
    const QString src = mdlGroups::KeyToId(m_clipboardTag);
    const QString dst = mdlGroups::KeyToId(target.Key());
    // Members cut from the root view are copied: every member keeps the root.
    const bool cut = m_clipboardAction == 2 && src != QLatin1String("0");
    rt::ListItems cache = m_lstMembers->ListItems();
    QStringList pasted;
    for (int i = 0; i < m_clipboard->count(); ++i) {
        rt::ListItem member = cache.Item(m_clipboard->item(i)->text());
        if (!member || !mdlGroups::MembershipHas(member.Tag(), src))
            continue;
        pasted.append(member.Key());
        QString list = member.Tag();
        if (cut)
            list = mdlGroups::RemoveMembership(list, src);
        if (!mdlGroups::MembershipHas(list, dst))
            list = mdlGroups::AddMembership(list, dst);
        member.setTag(list);
        markChanged(member);
    }
    ClearClipboard();
    ShowGroupMembers(target.Key());
    // The pasted members are what the user looks for in the rebuilt list.
    ChooseCurrentRow(pasted, 0);
    SetPending(true);
    UpdateCommandStates();
}

void frmGroup_Organize::CopyMembersToGroup(int Method, const QString& SrcGroupKey,
                                           const QString& DstGroupKey)
{
    const QString src = mdlGroups::KeyToId(SrcGroupKey);
    const QString dst = mdlGroups::KeyToId(DstGroupKey);
    // A move never takes the root out of a list, nor a group out when it is the target.
    const bool move = Method == 1 && src != QLatin1String("0") && src != dst;
    rt::ListItems rows = m_members->ListItems();
    rt::ListItems cache = m_lstMembers->ListItems();
    const QStringList chosen = selectedRowKeys();
    int firstChosen = 0;
    for (int i = rows.Count(); i >= 1; --i) {
        const rt::ListItem row = rows.Item(i);
        if (!row.Selected())
            continue;
        firstChosen = i;
        rt::ListItem member = cache.Item(row.Key());
        if (!member)
            continue;
        QString list = member.Tag();
        if (!mdlGroups::MembershipHas(list, dst))
            list = mdlGroups::AddMembership(list, dst);
        if (move)
            list = mdlGroups::RemoveMembership(list, src);
        member.setTag(list);
        markChanged(member);
    }
    ShowGroupMembers(SrcGroupKey);
    // Copied members stay chosen; where moved ones have left, the row that took the place
    // of the first of them.
    ChooseCurrentRow(chosen, firstChosen);
    SetPending(true);
}

// ---- dragging members onto a group ------------------------------------------------------

void frmGroup_Organize::Members_OLEStartDrag()
{
    m_memberDragActive = 1;
    m_dragSourceKey = selectedNode().Key();
    m_dropTargetKey.clear();
    m_mnDragDrop->setMenuState(QStringLiteral("mnMove"), m_dragSourceKey != rootKey);
}

void frmGroup_Organize::Groups_OLEDragOver(const QPoint& viewportPos)
{
    m_dropTargetKey.clear();
    // Over empty space the selection, and so the target, stays the last node passed.
    if (const rt::Node node = m_groups->HitTest(viewportPos))
        m_groups->setSelectedItem(node);
    if (const rt::Node selected = m_groups->SelectedItem())
        m_dropTargetKey = selected.Key();
}

void frmGroup_Organize::Members_OLECompleteDrag()
{
    const QString source = m_dragSourceKey;
    const QString target = m_dropTargetKey;
    bool shown = false;
    if (!target.isEmpty() && (target == rootKey || target == source)) {
        rt::MsgBox(QStringLiteral("Δεν μπορείτε να μεταφέρετε μέλη σε αυτή την ομάδα."),
                   rt::mb::Exclamation | rt::mb::OKOnly, QStringLiteral("ΜΕΤΑΦΟΡΑ ΜΕΛΩΝ"));
    } else if (!target.isEmpty() && !source.isEmpty()) {
        m_mnDragDrop->ShowPopupMenu();
        shown = m_groups->Tag() == target;
    }
    m_memberDragActive = 0;
    m_dragSourceKey.clear();
    m_dropTargetKey.clear();
    // A refused or abandoned drop leaves the tree's selection on the group the list shows.
    if (!shown && !target.isEmpty()) {
        if (const rt::Node node = m_groups->Nodes().Item(m_groups->Tag()))
            m_groups->setSelectedItem(node);
    }
    UpdateCommandStates();
}

void frmGroup_Organize::mnDragDrop_Click(const QString& MenuName, bool Checked)
{
    Q_UNUSED(Checked);
    const QStringList dragged = selectedRowKeys();
    if (m_memberDragActive == 1) {
        if (MenuName == QLatin1String("mnCopy"))
            CopyMembersToGroup(0, m_dragSourceKey, m_dropTargetKey);
        else if (MenuName == QLatin1String("mnMove"))
            CopyMembersToGroup(1, m_dragSourceKey, m_dropTargetKey);
    }
    if (m_groups->Nodes().Exists(m_dropTargetKey)) {
        ShowGroupMembers(m_dropTargetKey);
        ChooseCurrentRow(dragged, 0);
    }
}

bool frmGroup_Organize::membersDragFilter(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress: {
        m_dragArmed = false;
        m_pressHeld = false;
        if (m_replayingPress || mouse->button() != Qt::LeftButton ||
            mouse->modifiers() != Qt::NoModifier)
            return false;
        const rt::ListItem row = m_members->HitTest(mouse->position().toPoint());
        if (!row)
            return false;
        m_dragArmed = true;
        m_dragPressPos = mouse->position().toPoint();
        if (!row.Selected())
            return false; // the view selects the row; a drag may still start from it
        // A press on a selected row may begin a drag of every selected row: the view
        // changes the selection only if the button comes up without a drag.
        m_pressHeld = true;
        UpdateCommandStates();
        return true;
    }
    case QEvent::MouseMove: {
        if (!m_dragArmed || !(mouse->buttons() & Qt::LeftButton))
            return false;
        if ((mouse->position().toPoint() - m_dragPressPos).manhattanLength() <
            QApplication::startDragDistance())
            return m_pressHeld;
        const bool viewHasPress = !m_pressHeld;
        m_dragArmed = false;
        m_pressHeld = false;
        Members_OLEStartDrag();
        QPointer<frmGroup_Organize> self(this);
        auto* drag = new QDrag(m_members);
        auto* data = new QMimeData;
        data->setData(dragFormat, QByteArray());
        drag->setMimeData(data);
        {
            // The drop's menu and commands run inside the drag.
            const rt::EventWait wait;
            drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        }
        if (!self || isUnloading())
            return true;
        if (viewHasPress) {
            // The drag took the button's release: the view still waits for it.
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(m_dragPressPos),
                                m_members->viewport()->mapToGlobal(QPointF(m_dragPressPos)),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(m_members->viewport(), &release);
        }
        Members_OLECompleteDrag();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        m_dragArmed = false;
        if (!m_pressHeld)
            return false;
        m_pressHeld = false;
        // No drag after all: the press reaches the view now, as a plain click.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(m_dragPressPos),
                          m_members->viewport()->mapToGlobal(QPointF(m_dragPressPos)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        m_replayingPress = true;
        QCoreApplication::sendEvent(m_members->viewport(), &press);
        m_replayingPress = false;
        return false;
    }
    default:
        return false;
    }
}

bool frmGroup_Organize::groupsDropFilter(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!drag->mimeData() || !drag->mimeData()->hasFormat(dragFormat))
            return false;
        Groups_OLEDragOver(drag->position().toPoint());
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData() || !drop->mimeData()->hasFormat(dragFormat))
            return false;
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

// ---- saving -----------------------------------------------------------------------------

bool frmGroup_Organize::SaveChanges()
{
    mdlMain::BusyPointer busy;
    rt::Database& db = mdlDataBase::MainDatabase();

    // Groups with a flag, parents before children: the top-level groups, then those
    // below them, each time in the order of the tree's nodes.
    struct GroupWrite {
        rt::Node node;
        int depth;
        int index;
        QString newKey;
    };
    std::vector<GroupWrite> groups;
    rt::Nodes nodes = m_groups->Nodes();
    for (int i = 2; i <= nodes.Count(); ++i) {
        const rt::Node node = nodes.Item(i);
        if (node.Tag().isEmpty())
            continue;
        int depth = 0;
        for (rt::Node up = node.Parent(); up; up = up.Parent())
            ++depth;
        groups.push_back({node, depth, i, QString()});
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const GroupWrite& a, const GroupWrite& b) { return a.depth < b.depth; });

    struct MemberWrite {
        rt::ListItem item;
        QString list;  // the working list with the groups' new ids
        qint64 id = 0; // the row written
        bool insert = false;
    };
    std::vector<MemberWrite> members;
    // Temporary group ids and the ids the database gave them.
    QHash<QString, QString> renamedGroups;

    try {
        rt::Transaction tx(db);
        check(tx.status());

        // 1. Deletions: members in one go, then each group, whose id also leaves the
        // lists of the members that are not written below.
        QVariantList deletedMembers;
        QStringList deletedGroups;
        for (int i = 0; i < m_lstDeleted->count(); ++i) {
            const QListWidgetItem* entry = m_lstDeleted->item(i);
            const QString id = mdlGroups::KeyToId(entry->text());
            if (entry->data(Qt::UserRole).toInt() == 1)
                deletedMembers.append(idValue(id));
            else
                deletedGroups.append(id);
        }
        for (qsizetype at = 0; at < deletedMembers.size(); at += rowsPerStatement) {
            const QVariantList chunk = deletedMembers.mid(at, rowsPerStatement);
            QStringList marks(chunk.size(), QStringLiteral("?"));
            check(db.execute({QStringLiteral("DELETE FROM members WHERE member_id IN (") +
                                  marks.join(QLatin1Char(',')) + QStringLiteral(");"),
                              chunk}));
        }
        QHash<qint64, QString> strippedLists;
        for (const QString& id : std::as_const(deletedGroups))
            check(db.execute(
                {QStringLiteral("DELETE FROM groups WHERE group_id=?;"), {idValue(id)}}));
        if (!deletedGroups.isEmpty()) {
            // One read of the stored lists finds every row that names a deleted group.
            const QSet<QString> gone(deletedGroups.begin(), deletedGroups.end());
            rt::Recordset rs = db.openRecordset(
                {QStringLiteral("SELECT member_id, member_of FROM members WHERE member_of IS NOT "
                                "NULL;"),
                 {}},
                rt::RecordsetType::Snapshot);
            if (!rs.isOpen())
                throw databaseError(rs.status());
            for (; !rs.eof(); rs.moveNext()) {
                QString list = rs.field(1).toString();
                bool named = false;
                forEachListedId(list, [&](QStringView id) {
                    named = gone.contains(id.toString());
                    return !named;
                });
                if (!named)
                    continue;
                for (const QString& id : std::as_const(deletedGroups))
                    list = mdlGroups::RemoveMembership(list, id);
                strippedLists.insert(rs.field(0).toLongLong(), list);
            }
        }

        // 2. Groups, one row each; a new group's id replaces its temporary one.
        for (GroupWrite& w : groups) {
            const QString oldKey = w.node.Key();
            const QString id =
                w.node.Tag() == flagAdded ? QStringLiteral("0") : mdlGroups::KeyToId(oldKey);
            QString parentId = mdlGroups::KeyToId(w.node.Parent().Key());
            parentId = renamedGroups.value(parentId, parentId);
            rt::Recordset rs = db.openRecordset(
                {QStringLiteral("SELECT * FROM groups WHERE group_id=?;"), {idValue(id)}},
                rt::RecordsetType::Dynaset);
            if (!rs.isOpen())
                throw databaseError(rs.status());
            check(rs.eof() ? rs.addNew() : rs.edit());
            rs.setField(QStringLiteral("group_name"), w.node.Text());
            rs.setField(QStringLiteral("subgroup_of"), idValue(parentId));
            check(rs.update());
            w.newKey = groupPrefix + QString::number(rs.lastModified());
            rs.close();
            if (w.newKey != oldKey)
                renamedGroups.insert(mdlGroups::KeyToId(oldKey), mdlGroups::KeyToId(w.newKey));
        }

        // 3. Members: those with a flag and those that name a renamed group.
        bool anyChanged = false;
        for (const rt::ListItem item : m_lstMembers->ListItems()) {
            const QString flag = item.SubItemTag(1);
            if (flag.isEmpty() && !listHoldsAny(item.Tag(), renamedGroups))
                continue;
            MemberWrite w{item, renameListedIds(item.Tag(), renamedGroups)};
            w.insert = flag == flagAdded;
            anyChanged = anyChanged || !w.insert;
            members.push_back(std::move(w));
        }
        if (anyChanged) {
            // A changed member whose row is not there (created and edited before a save,
            // or deleted meanwhile) is written as a new row.
            QSet<qint64> existing;
            rt::Recordset rs =
                db.openRecordset({QStringLiteral("SELECT member_id FROM members;"), {}},
                                 rt::RecordsetType::Snapshot);
            if (!rs.isOpen())
                throw databaseError(rs.status());
            existing.reserve(rs.recordCount());
            for (; !rs.eof(); rs.moveNext())
                existing.insert(rs.field(0).toLongLong());
            for (MemberWrite& w : members) {
                if (w.insert)
                    continue;
                bool isNumber = false;
                w.id = mdlGroups::KeyToId(w.item.Key()).toLongLong(&isNumber);
                w.insert = !isNumber || !existing.contains(w.id);
            }
        }
        // New rows take the ids that the table would hand out next, given here so that
        // many rows go in one statement and each cached member learns its own id.
        qint64 nextId = 0;
        if (std::any_of(members.begin(), members.end(),
                        [](const MemberWrite& w) { return w.insert; })) {
            auto single = [&db](const QString& sql) {
                rt::Recordset rs = db.openRecordset({sql, {}}, rt::RecordsetType::Snapshot);
                if (!rs.isOpen())
                    throw databaseError(rs.status());
                return rs.eof() ? qint64(0) : rs.field(0).toLongLong();
            };
            // The highest id ever handed out, deleted rows included, so none is reused.
            qint64 highest =
                single(QStringLiteral("SELECT ifnull(max(member_id), 0) FROM members;"));
            if (single(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                      "name='sqlite_sequence';")) > 0)
                highest = std::max(highest, single(QStringLiteral(
                                                "SELECT ifnull(max(seq), 0) FROM sqlite_sequence "
                                                "WHERE name='members';")));
            nextId = highest + 1;
        }
        std::vector<const MemberWrite*> inserts;
        std::vector<const MemberWrite*> updates;
        for (MemberWrite& w : members) {
            if (w.insert)
                w.id = nextId++;
            (w.insert ? inserts : updates).push_back(&w);
            strippedLists.remove(w.id);
        }
        // One statement for all the rows of a kind, prepared once: what a row costs does
        // not grow with their number.
        auto writeRows = [&db](const std::vector<const MemberWrite*>& rows, const QString& sql,
                               bool idFirst) {
            size_t at = 0;
            check(db.executeEach(sql, [&](QVariantList& values) {
                if (at == rows.size())
                    return false;
                const MemberWrite& w = *rows[at++];
                if (idFirst)
                    values << w.id;
                values << w.item.Text() << mdlDataBase::EmptyToNull(w.item.SubItems(1))
                       << mdlDataBase::EmptyToNull(w.item.SubItems(2)) << w.item.SubItems(3)
                       << mdlGroups::StoredMembership(w.list);
                if (!idFirst)
                    values << w.id;
                return true;
            }));
        };
        writeRows(inserts,
                  QStringLiteral("INSERT INTO members (member_id, LastName, FirstName, Occupation, "
                                 "mobile_no, member_of) VALUES (?, ?, ?, ?, ?, ?);"),
                  true);
        writeRows(updates,
                  QStringLiteral("UPDATE members SET LastName=?, FirstName=?, Occupation=?, "
                                 "mobile_no=?, member_of=? WHERE member_id=?;"),
                  false);
        // Rows outside the window that named a deleted group.
        auto stripped = strippedLists.constBegin();
        check(db.executeEach(QStringLiteral("UPDATE members SET member_of=? WHERE member_id=?;"),
                             [&](QVariantList& values) {
                                 if (stripped == strippedLists.constEnd())
                                     return false;
                                 const QString left = stripped.value() == QLatin1String("\\")
                                                          ? QString()
                                                          : stripped.value();
                                 values << mdlDataBase::EmptyToNull(left) << stripped.key();
                                 ++stripped;
                                 return true;
                             }));
        check(tx.commit());
    } catch (const rt::RuntimeError& error) {
        // Rolled back: the window still holds every change, as before the save.
        mdlMain::SetMousePointer(0);
        rt::reportUntrapped(error);
        return false;
    }

    // Written: the window now names the database's rows only.
    QHash<QString, QString> renamedKeys;
    for (GroupWrite& w : groups) {
        if (w.newKey != w.node.Key()) {
            renamedKeys.insert(w.node.Key(), w.newKey);
            w.node.setKey(w.newKey);
        }
        w.node.setTag(QString());
    }
    rt::ListItems shown = m_members->ListItems();
    for (MemberWrite& w : members) {
        const QString newKey = memberPrefix + QString::number(w.id);
        const QString oldKey = w.item.Key();
        if (newKey != oldKey) {
            renamedKeys.insert(oldKey, newKey);
            if (rt::ListItem row = shown.Item(oldKey))
                row.setKey(newKey);
            w.item.setKey(newKey);
        }
        w.item.setTag(w.list);
        w.item.setSubItemTag(1, QString());
    }
    m_lstDeleted->clear();
    // What still names an old key follows it: the shown group, the clipboard.
    if (renamedKeys.contains(m_groups->Tag()))
        m_groups->setTag(renamedKeys.value(m_groups->Tag()));
    if (renamedKeys.contains(m_clipboardTag))
        m_clipboardTag = renamedKeys.value(m_clipboardTag);
    for (int i = 0; i < m_clipboard->count(); ++i) {
        QListWidgetItem* entry = m_clipboard->item(i);
        const auto found = renamedKeys.constFind(entry->text());
        if (found != renamedKeys.constEnd())
            entry->setText(*found);
    }
    SetPending(false);
    return true;
}

// ---- layout -----------------------------------------------------------------------------

void frmGroup_Organize::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    Form_Resize();
}

bool frmGroup_Organize::eventFilter(QObject* watched, QEvent* event)
{
    // Events can come while the constructor is still making the controls.
    if (!m_members || !m_picSeperator)
        return rt::Form::eventFilter(watched, event);
    if (watched == m_members->viewport()) {
        if (membersDragFilter(event))
            return true;
    } else if (watched == m_groups->viewport()) {
        if (groupsDropFilter(event))
            return true;
    } else if (watched == m_groups || watched == m_members) {
        if (event->type() == QEvent::FocusIn)
            UpdateCommandStates();
    } else if (watched == m_picSeperator) {
        if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            picSeperator_MouseMove(mouse->buttons(), mouse->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            picSeperator_MouseUp();
        }
    }
    return rt::Form::eventFilter(watched, event);
}

void frmGroup_Organize::Form_Resize()
{
    const int W = width();
    const int H = height();
    m_formTitle->resize(W, m_formTitle->height());
    const int top = m_groups->y();
    if (H - top < 0)
        return;
    m_groups->setGeometry(0, top, m_groups->width(), H - top);
    m_picSeperator->setGeometry(m_picSeperator->x(), top, m_picSeperator->width(), H - top);
    const int left = m_picSeperator->x() + m_picSeperator->width();
    if (W - left >= 0)
        m_members->setGeometry(left, top, W - left, H - top);
}

void frmGroup_Organize::picSeperator_MouseMove(Qt::MouseButtons buttons, const QPoint& pos)
{
    if (!(buttons & Qt::LeftButton))
        return;
    if (!m_splitterDragging) {
        m_splitterDragging = true;
        m_splitterStartX = pos.x();
        return;
    }
    const int left = m_picSeperator->x() + pos.x() - m_splitterStartX;
    if (left > 0 && left < width() - toPixels(100))
        m_picSeperator->move(left, m_picSeperator->y());
}

void frmGroup_Organize::picSeperator_MouseUp()
{
    if (!m_splitterDragging)
        return;
    m_splitterDragging = false;
    const int barLeft = m_picSeperator->x();
    if (barLeft - m_groups->x() >= 0)
        m_groups->resize(barLeft - m_groups->x(), m_groups->height());
    const int left = barLeft + m_picSeperator->width();
    if (width() - left >= 0)
        m_members->setGeometry(left, m_members->y(), width() - left, m_members->height());
}
