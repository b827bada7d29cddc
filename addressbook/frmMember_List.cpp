#include "addressbook/frmMember_List.h"

#include "addressbook/MemberFields.h"
#include "addressbook/MemberListPictures.h"
#include "addressbook/frmMember_Criteria.h"
#include "addressbook/frmMember_Edit.h"
#include "addressbook/frmMember_Find.h"
#include "addressbook/mdlGroups.h"
#include "app/FormTitle.h"
#include "app/PopupMenuControl.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMain.h"
#include "app/mdlMainDocking.h"
#include "platform/Err.h"
#include "platform/ImageList.h"
#include "platform/Like.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/Recordset.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/Transaction.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>
#include <algorithm>
#include <vector>

using rt::toPixels;

namespace {

const QString panelKey = QStringLiteral("frmMember_List");

constexpr int designWidth = 9000;
constexpr int designHeight = 6600;
constexpr int searchHeight = 720;

[[noreturn]] void raiseDatabaseError(const rt::DbResult& status)
{
    rt::Raise(status.number, status.description, QStringLiteral("SQLite"));
}

} // namespace

frmMember_List::frmMember_List() : rt::Form(QStringLiteral("frmMember_List"))
{
    mdlMain::SetUpDockedWindow(*this, QStringLiteral("Κατάλογος Μελών"), designWidth, designHeight);

    m_imageList = new rt::ImageList(this);
    m_imageList->setObjectName(QStringLiteral("ImageList"));
    m_imageList->Add(MemberListPictures::MemberPicture());
    m_images25 = new rt::ImageList(this);
    m_images25->setObjectName(QStringLiteral("Images25x25"));

    m_formTitle = mdlMain::AddFormTitle(*this);

    m_toolbar = new rt::Toolbar(QStringLiteral("Toolbar"), this);
    mdlMain::AddToolbarButtons(*m_toolbar, *m_images25, MemberListPictures::ToolbarPicture,
                               {
                                   {"btnNew", "Δημιουργία", "Δημιουργία Νέου Μέλους"},
                                   {"btnEdit", "Διόρθωση", "Διόρθωση Στοιχείων Μέλους"},
                                   {"btnDelete", "Διαγραφή", "Διαγραφή Μέλους"},
                                   {"btnCriteria", "Κριτήρια", "Κριτήρια Εμφάνισης Μελών"},
                               });
    connect(m_toolbar, &rt::Toolbar::ButtonClick, this, &frmMember_List::Toolbar_ButtonClick);

    m_frameSearch = new QGroupBox(QStringLiteral("Αναζήτηση"), this);
    m_frameSearch->setObjectName(QStringLiteral("FrameSearch"));
    m_txtSearchName = new rt::TextBox(QStringLiteral("txtSearchName"), m_frameSearch);
    m_txtSearchPhone = new rt::TextBox(QStringLiteral("txtSearchPhone"), m_frameSearch);
    auto* search = new QHBoxLayout(m_frameSearch);
    search->addWidget(new QLabel(QStringLiteral("Επίθετο"), m_frameSearch));
    search->addWidget(m_txtSearchName, 2);
    search->addSpacing(12);
    search->addWidget(new QLabel(QStringLiteral("Αρ. Κινητού"), m_frameSearch));
    search->addWidget(m_txtSearchPhone, 1);
    search->addStretch(1);
    const int frameTop = toPixels(mdlMain::FormTitleHeight) + toPixels(45);
    m_frameSearch->setGeometry(
        0, frameTop, width(), std::max(toPixels(searchHeight), m_frameSearch->sizeHint().height()));
    connect(m_txtSearchName, &rt::TextBox::Change, this, &frmMember_List::txtSearchName_Change);
    connect(m_txtSearchPhone, &rt::TextBox::Change, this, &frmMember_List::txtSearchPhone_Change);

    m_members = new rt::ListView(this);
    m_members->setObjectName(QStringLiteral("Members"));
    m_members->setMultiSelect(true);
    m_members->setSmallIcons(m_imageList);
    m_members->AddColumn(QStringLiteral("Επίθετο"), 3000);
    m_members->AddColumn(QStringLiteral("Όνομα"), 1600);
    m_members->AddColumn(QStringLiteral("Επάγγελμα"), 1600);
    m_members->AddColumn(QStringLiteral("Κινητό"), 1500);
    const int listTop = m_frameSearch->geometry().bottom() + 1 + toPixels(45);
    m_members->setGeometry(0, listTop, width(), height() - listTop);
    connect(m_members, &rt::ListView::ColumnClick, this, &frmMember_List::Members_ColumnClick);
    connect(m_members, &rt::ListView::DblClick, this, &frmMember_List::Members_DblClick);
    connect(m_members, &rt::ListView::MouseUp, this, &frmMember_List::Members_MouseUp);

    // The list first: a window that opens takes the keyboard at its first control, and the
    // arrow keys are for the list.
    QWidget::setTabOrder(m_members, m_txtSearchName);
    QWidget::setTabOrder(m_txtSearchName, m_txtSearchPhone);

    m_mnMembers = new PopupMenuControl(QStringLiteral("mnMembers"), this);
    connect(m_mnMembers, &PopupMenuControl::Click, this, &frmMember_List::mnMembers_Click);

    Form_Resize();
}

// ---- load and unload ------------------------------------------------------------------

void frmMember_List::Form_Load()
{
    mdlMain::DockChildForm(*this, *m_formTitle, *m_toolbar);
    mdlMain::AddStatusPanel(panelKey, QString());
    mdlGroups::ClearSearchCriteria();
    qrLastName.clear();
    qrFirstName.clear();
    qrOccup.clear();
    qrMobileNo.clear();
    qrGroups.clear();
    // A failing read still leaves the window docked, so that it can be closed again.
    mdlDialogs::ReportFailure([this] {
        RefreshMemberList(CriteriaQuery(QString(), QString(), QString(), QString(), QString()));
    });
    m_mnMembers->AddMenuItem(QStringLiteral("mnOpen"), QStringLiteral("Διόρθωση"));
    m_mnMembers->AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
    m_mnMembers->AddMenuItem(QString(), QStringLiteral("-"));
    m_mnMembers->AddMenuItem(QStringLiteral("mnCriteria"), QStringLiteral("Κριτήρια Εμφάνισης"));
}

void frmMember_List::Form_Unload(bool& cancel)
{
    Q_UNUSED(cancel);
    mdlMain::UndockChildForm(*this, *m_toolbar, {panelKey});
}

void frmMember_List::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    Form_Resize();
}

void frmMember_List::Form_Resize()
{
    const int W = width();
    const int H = height();
    m_formTitle->resize(W, m_formTitle->height());
    m_frameSearch->resize(W, m_frameSearch->height());
    const int listHeight = H - m_members->y();
    if (listHeight >= 0)
        m_members->setGeometry(0, m_members->y(), W, listHeight);
}

// ---- the list -------------------------------------------------------------------------

rt::Query frmMember_List::CriteriaQuery(const QString& LName, const QString& FName,
                                        const QString& Occup, const QString& MobileNo,
                                        const QString& Groups)
{
    // Every criterion is a beginning, matched literally (its wildcards escaped) and
    // without regard to letter case; the groups are alternatives, the rest all apply.
    QStringList where;
    QVariantList values;
    const struct {
        const char* column;
        const QString& value;
    } prefixes[] = {
        {"LastName", LName}, {"FirstName", FName}, {"mobile_no", MobileNo}, {"Occupation", Occup}};
    for (const auto& p : prefixes) {
        if (p.value.isEmpty())
            continue;
        where << QString::fromLatin1(p.column) + QStringLiteral(" LIKE ? ESCAPE '!'");
        values << rt::escapeLike(p.value) + QLatin1Char('%');
    }
    if (!Groups.isEmpty()) {
        QStringList anyGroup;
        for (const QString& id : Groups.split(QLatin1Char(','))) {
            anyGroup << QStringLiteral("member_of LIKE ? ESCAPE '!'");
            values << QStringLiteral("%\\") + rt::escapeLike(id) + QStringLiteral("\\%");
        }
        where << QLatin1Char('(') + anyGroup.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
    QString sql = QStringLiteral("SELECT member_id, LastName, FirstName, Occupation, mobile_no "
                                 "FROM members");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    return {sql, values};
}

void frmMember_List::RefreshMemberList(const rt::Query& Source)
{
    mdlMain::BusyPointer busy;
    // Read first: a failing query leaves the list as it was.
    rt::Recordset rs =
        mdlDataBase::MainDatabase().openRecordset(Source, rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        raiseDatabaseError(rs.status());
    m_members->setVisible(false);
    rt::ListItems items = m_members->ListItems();
    items.Clear();
    const int idField = rs.fieldIndex(QStringLiteral("member_id"));
    const int lastField = rs.fieldIndex(QStringLiteral("LastName"));
    const int firstField = rs.fieldIndex(QStringLiteral("FirstName"));
    const int occupationField = rs.fieldIndex(QStringLiteral("Occupation"));
    const int mobileField = rs.fieldIndex(QStringLiteral("mobile_no"));
    for (; !rs.eof(); rs.moveNext()) {
        rt::ListItem item =
            items.Add(QString(), mdlDataBase::NullToEmptyText(rs.field(lastField)), 1);
        item.setSubItems(1, mdlDataBase::NullToEmptyText(rs.field(firstField)));
        item.setSubItems(2, mdlDataBase::NullToEmptyText(rs.field(occupationField)));
        item.setSubItems(3, mdlDataBase::NullToEmptyText(rs.field(mobileField)));
        item.setTag(rs.field(idField).toString());
    }
    rs.close();
    m_members->setVisible(true);
    UpdateCommandState();
    ShowCount();
}

void frmMember_List::SetListCriteria(const QString& LName, const QString& FName,
                                     const QString& Occup, const QString& MobileNo,
                                     const QString& Groups)
{
    qrLastName = LName;
    qrFirstName = FName;
    qrOccup = Occup;
    qrMobileNo = MobileNo;
    qrGroups = Groups;
    RefreshMemberList(CriteriaQuery(qrLastName, qrFirstName, qrOccup, qrMobileNo, qrGroups));
}

void frmMember_List::UpdateCommandState()
{
    const bool any = m_members->ListItems().Count() > 0;
    m_toolbar->setButtonEnabled(QStringLiteral("btnDelete"), any);
    m_toolbar->setButtonEnabled(QStringLiteral("btnEdit"), any);
    if (frmMain* main = rt::Forms::find<frmMain>()) {
        main->SetMenuState(QStringLiteral("mn_EditMember"), any);
        main->SetMenuState(QStringLiteral("mn_DeleteMember"), any);
    }
}

void frmMember_List::ShowCount()
{
    try {
        mdlMain::SetStatusPanel(panelKey, QString::number(m_members->ListItems().Count()) +
                                              QStringLiteral(" μέλη"));
    } catch (const rt::RuntimeError&) {
        // The panel went with the main window; nothing to show the count in.
    }
}

void frmMember_List::SelectAlone(const rt::ListItem& item)
{
    m_members->setMultiSelect(false);
    m_members->setSelectedItem(item);
    item.EnsureVisible();
    m_members->setMultiSelect(true);
}

// ---- writing members ------------------------------------------------------------------

void frmMember_List::UpdateMember(const QString& MemberID, const QString& LastName,
                                  const QString& FirstName, const QString& Occupation,
                                  const QString& Phone)
{
    const QString id = MemberID.isEmpty() ? QStringLiteral("0") : MemberID;
    const qint64 number = id.toLongLong();
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT * FROM members WHERE member_id = ?"), {number}},
        rt::RecordsetType::Dynaset);
    if (!rs.isOpen())
        raiseDatabaseError(rs.status());
    const rt::DbResult started = rs.eof() ? rs.addNew() : rs.edit();
    if (!started)
        raiseDatabaseError(started);
    rs.setField(QStringLiteral("LastName"), mdlDataBase::EmptyToNull(LastName));
    rs.setField(QStringLiteral("FirstName"), mdlDataBase::EmptyToNull(FirstName));
    rs.setField(QStringLiteral("Occupation"), mdlDataBase::EmptyToNull(Occupation));
    rs.setField(QStringLiteral("mobile_no"), mdlDataBase::EmptyToNull(Phone));
    const rt::DbResult written = rs.update();
    if (!written)
        raiseDatabaseError(written);
    const qint64 rowId = rs.lastModified();
    rs.close();

    rt::ListItem item;
    if (number != 0)
        item = m_members->FindItem(id, rt::ListView::lvwTag);
    // A new member, or one whose item has gone meanwhile, gets an item of its own.
    if (!item)
        item = m_members->ListItems().Add(QString(), LastName, 1);
    item.setText(LastName);
    item.setSubItems(1, FirstName);
    item.setSubItems(2, Occupation);
    item.setSubItems(3, Phone);
    item.setTag(QString::number(rowId));
    SelectAlone(item);
    UpdateCommandState();
    ShowCount();
}

void frmMember_List::MemberEdited(const QString& MemberKey, const QString& GroupKey,
                                  const QString& LastName, const QString& FirstName,
                                  const QString& Occupation, const QString& Phone)
{
    Q_UNUSED(GroupKey);
    UpdateMember(MemberKey, LastName, FirstName, Occupation, Phone);
}

void frmMember_List::NumbersRewritten(const RewrittenNumbers& numbers)
{
    // The list shows stored rows, and an edit writes back every field it shows: the
    // rewritten rows take their new numbers (listed or not by the criteria, as a member
    // written here stays listed until the next reload).
    for (rt::ListItem item : m_members->ListItems()) {
        bool isNumber = false;
        const auto found = numbers.constFind(item.Tag().toLongLong(&isNumber));
        if (isNumber && found != numbers.constEnd())
            item.setSubItems(3, found->after);
    }
}

void frmMember_List::NewMember()
{
    mdlDialogs::ReportFailure([] {
        frmMember_Edit& dialog = rt::Forms::get<frmMember_Edit>();
        try {
            dialog.EditMember(QString(), QString(), QString(), QString(), QString(), QString());
        } catch (const rt::RuntimeError&) {
            rt::Forms::unload(&dialog);
            throw;
        }
        rt::Forms::showModal(dialog);
    });
    UpdateCommandState();
}

void frmMember_List::EditMember()
{
    const rt::ListItem item = m_members->SelectedItem();
    if (!item)
        return;
    mdlDialogs::ReportFailure([&item] {
        frmMember_Edit& dialog = rt::Forms::get<frmMember_Edit>();
        try {
            dialog.EditMember(item.Tag(), QString(), item.Text(), item.SubItems(1),
                              item.SubItems(2), item.SubItems(3));
        } catch (const rt::RuntimeError&) {
            rt::Forms::unload(&dialog);
            throw;
        }
        rt::Forms::showModal(dialog);
    });
}

void frmMember_List::DeleteMember()
{
    rt::ListItems items = m_members->ListItems();
    int selected = 0;
    rt::ListItem named;
    for (const rt::ListItem item : items) {
        if (item.Selected()) {
            ++selected;
            named = item;
        }
    }
    // Nothing selected is nothing to delete.
    if (selected == 0)
        return;
    QString question = QStringLiteral("Θέλετε να διαγράψετε");
    if (selected < 2) {
        // The member that will go, which need not be the item that has the focus.
        question += QStringLiteral(" το μέλος \"") + named.Text() + QLatin1Char(' ') +
                    named.SubItems(1) + QStringLiteral("\";");
    } else {
        question += QStringLiteral(" τα ") + QString::number(selected) +
                    QStringLiteral(" μέλη που επιλέξατε;");
    }
    if (rt::MsgBox(question, rt::mb::Question | rt::mb::YesNo, QStringLiteral("ΔΙΑΓΡΑΦΗ ΜΕΛΟΥΣ")) !=
        rt::mb::Yes)
        return;

    mdlDialogs::ReportFailure([&] {
        mdlMain::BusyPointer busy;
        // One statement for all of them: the rows go together or, on a failure, none
        // does and the list stays as it is.
        std::vector<int> doomed;
        QStringList ids;
        for (int i = items.Count(); i >= 1; --i) {
            const rt::ListItem item = items.Item(i);
            if (item.Selected()) {
                doomed.push_back(i);
                ids << QString::number(item.Tag().toLongLong());
            }
        }
        rt::Database& db = mdlDataBase::MainDatabase();
        rt::Transaction tx(db);
        if (!tx.status())
            raiseDatabaseError(tx.status());
        const rt::DbResult deleted =
            db.execute({QStringLiteral("DELETE FROM members WHERE member_id IN "
                                       "(SELECT value FROM json_each(?))"),
                        {QLatin1Char('[') + ids.join(QLatin1Char(',')) + QLatin1Char(']')}});
        if (!deleted)
            raiseDatabaseError(deleted);
        const rt::DbResult committed = tx.commit();
        if (!committed)
            raiseDatabaseError(committed);
        // From the last to the first, so the indexes still to come stay valid; hidden
        // meanwhile, as the other lists are: shown again, the list makes the row in the
        // place of the first one deleted current and selected.
        m_members->hide();
        for (const int i : doomed)
            items.Remove(i);
    });
    m_members->show();
    UpdateCommandState();
    ShowCount();
}

// ---- finding members ------------------------------------------------------------------

void frmMember_List::FindMembers(QString& LName, QString& FName, QString& Phone, QString& Occup)
{
    LName = LName.toUpper();
    FName = FName.toUpper();
    Occup = Occup.toUpper();
    const int wanted = int(!LName.isEmpty()) + int(!FName.isEmpty()) + int(!Phone.isEmpty()) +
                       int(!Occup.isEmpty());
    if (wanted == 0)
        return;
    const auto begins = [](const QString& criterion, const QString& field) {
        return !criterion.isEmpty() && field.startsWith(criterion, Qt::CaseSensitive);
    };
    rt::ListItem first;
    for (rt::ListItem item : m_members->ListItems()) {
        const int matched = int(begins(LName, item.Text().toUpper())) +
                            int(begins(FName, item.SubItems(1).toUpper())) +
                            int(begins(Occup, item.SubItems(2).toUpper())) +
                            int(begins(Phone, item.SubItems(3)));
        const bool all = matched == wanted;
        item.setSelected(all);
        if (all && !first)
            first = item;
    }
    if (first) {
        // The first match becomes the current item too, so that Edit opens it and the keys
        // go on from it; the other matches stay selected.
        m_members->setSelectedItem(first);
        first.EnsureVisible();
        rt::Forms::unload<frmMember_Find>();
        m_members->setFocus();
        return;
    }
    rt::MsgBox(QStringLiteral("Δεν βρέθηκαν μέλη με τα στοιχεία που δώσατε."),
               rt::mb::Information | rt::mb::OKOnly, QStringLiteral("ΑΝΑΖΗΤΗΣΗ"));
    if (frmMember_Find* find = rt::Forms::find<frmMember_Find>()) {
        find->activateWindow();
        find->setFocus();
    }
}

void frmMember_List::txtSearchName_Change()
{
    const QString typed = m_txtSearchName->Text();
    if (typed.isEmpty())
        return;
    const rt::ListItem item =
        m_members->FindItem(typed, rt::ListView::lvwText, 1, rt::ListView::lvwPartial);
    if (item)
        SelectAlone(item);
}

void frmMember_List::txtSearchPhone_Change()
{
    const QString typed = m_txtSearchPhone->Text();
    if (typed.isEmpty())
        return;
    for (const rt::ListItem item : m_members->ListItems()) {
        if (item.SubItems(3).contains(typed)) {
            SelectAlone(item);
            return;
        }
    }
}

// ---- commands -------------------------------------------------------------------------

void frmMember_List::ShowCriteriaDialog()
{
    frmMember_Criteria& dialog = rt::Forms::get<frmMember_Criteria>();
    dialog.SetCriteria(qrLastName, qrFirstName, qrOccup, qrMobileNo, qrGroups);
    rt::Forms::showModal(dialog);
}

void frmMember_List::Toolbar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("btnNew"))
        NewMember();
    else if (key == QLatin1String("btnEdit"))
        EditMember();
    else if (key == QLatin1String("btnDelete"))
        DeleteMember();
    else if (key == QLatin1String("btnCriteria"))
        ShowCriteriaDialog();
}

void frmMember_List::mnMembers_Click(const QString& MenuName, bool Checked)
{
    Q_UNUSED(Checked);
    if (MenuName == QLatin1String("mnOpen"))
        EditMember();
    else if (MenuName == QLatin1String("mnDelete"))
        DeleteMember();
    else if (MenuName == QLatin1String("mnCriteria"))
        ShowCriteriaDialog();
}

void frmMember_List::Members_MouseUp(int button, int shift, const QPoint& pos)
{
    Q_UNUSED(shift);
    Q_UNUSED(pos);
    if (button != 2)
        return;
    const bool any = m_members->ListItems().Count() > 0;
    m_mnMembers->setMenuState(QStringLiteral("mnOpen"), any);
    m_mnMembers->setMenuState(QStringLiteral("mnDelete"), any);
    m_mnMembers->ShowPopupMenu();
}

void frmMember_List::Members_DblClick()
{
    if (m_members->ListItems().Count() > 0)
        EditMember();
}

void frmMember_List::Members_ColumnClick(int column)
{
    m_members->setSortKey(column - 1);
    m_members->setSorted(true);
}
