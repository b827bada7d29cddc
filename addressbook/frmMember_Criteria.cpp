#include "addressbook/frmMember_Criteria.h"

#include "addressbook/MemberFields.h"
#include "addressbook/frmMember_List.h"
#include "addressbook/mdlGroups.h"
#include "app/ChildFormCollection.h"
#include "app/DialogButtons.h"
#include "app/mdlDataBase.h"
#include "app/mdlMainDocking.h"
#include "platform/Err.h"
#include "platform/KeyInput.h"
#include "platform/Recordset.h"
#include "platform/TextBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmMember_Criteria::frmMember_Criteria() : rt::Form(QStringLiteral("frmMember_Criteria"))
{
    setWindowTitle(QStringLiteral("Κριτήρια Εμφάνισης Μελών"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setKeyPreview(true);

    m_lblInst = new QLabel(QStringLiteral("Συμπληρώστε τα πεδία που θα χρησιμεύσουν σαν "
                                          "κριτήρια για την εμφάνιση μελών."),
                           this);
    m_lblInst->setObjectName(QStringLiteral("lblInst"));
    m_lblInst->setWordWrap(true);

    m_txtLastName = new rt::TextBox(QStringLiteral("txtLastName"), this);
    m_txtFirstName = new rt::TextBox(QStringLiteral("txtFirstName"), this);
    m_txtPhone = new rt::TextBox(QStringLiteral("txtPhone"), this);
    m_txtOccup = new rt::TextBox(QStringLiteral("txtOccup"), this);
    m_lstGroups = new QListWidget(this);
    m_lstGroups->setObjectName(QStringLiteral("lstGroups"));
    // A click toggles one group, as a simple multi-select list box did.
    m_lstGroups->setSelectionMode(QAbstractItemView::MultiSelection);

    auto* grid = new QGridLayout;
    const struct {
        const char* caption;
        QWidget* box;
    } rows[] = {{"Επίθετο", m_txtLastName},
                {"Όνομα", m_txtFirstName},
                {"Τηλέφωνο", m_txtPhone},
                {"Επάγγελμα", m_txtOccup},
                {"Ομάδα", m_lstGroups}};
    int row = 0;
    for (const auto& r : rows) {
        auto* label = new QLabel(QString::fromUtf8(r.caption), this);
        label->setBuddy(r.box);
        grid->addWidget(label, row, 0,
                        Qt::AlignLeft | (r.box == m_lstGroups ? Qt::AlignTop : Qt::AlignVCenter));
        grid->addWidget(r.box, row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    m_lstGroups->setMinimumHeight(m_lstGroups->fontMetrics().lineSpacing() * 8);

    // Greek capitals omicron and kappa.
    m_cmdOK = dialogbuttons::DialogButton(QStringLiteral("cmdOK"), QStringLiteral("ΟΚ"), this);
    m_cmdClear = dialogbuttons::DialogButton(QStringLiteral("cmdClear"),
                                             QStringLiteral("Καθαρισμός Φόρμας"), this);
    m_cmdCancel =
        dialogbuttons::DialogButton(QStringLiteral("cmdCancel"), QStringLiteral("Άκυρο"), this);

    QWidget::setTabOrder(m_txtLastName, m_txtFirstName);
    QWidget::setTabOrder(m_txtFirstName, m_txtPhone);
    QWidget::setTabOrder(m_txtPhone, m_txtOccup);
    QWidget::setTabOrder(m_txtOccup, m_lstGroups);
    QWidget::setTabOrder(m_lstGroups, m_cmdOK);
    QHBoxLayout* buttons = dialogbuttons::ButtonRow({m_cmdOK, m_cmdClear, m_cmdCancel});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblInst);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmMember_Criteria::cmdOK_Click);
    connect(m_cmdClear, &QPushButton::clicked, this, &frmMember_Criteria::cmdClear_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMember_Criteria::cmdCancel_Click);

    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

void frmMember_Criteria::Form_Load()
{
    // Every group, top-level or not, in one list sorted by name; each entry keeps its id.
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT group_id, group_name FROM groups "
                        "ORDER BY group_name COLLATE GREEK"),
         {}},
        rt::RecordsetType::Snapshot);
    if (!rs.isOpen()) {
        // The dialog still opens, without groups to choose from.
        rt::reportUntrapped(rt::RuntimeError(rs.status().number, rs.status().description,
                                             QStringLiteral("SQLite")));
        return;
    }
    for (; !rs.eof(); rs.moveNext()) {
        auto* entry = new QListWidgetItem(
            mdlDataBase::NullToEmpty(rs.field(QStringLiteral("group_name"))).toString());
        entry->setData(Qt::UserRole, rs.field(QStringLiteral("group_id")).toInt());
        m_lstGroups->addItem(entry);
    }
}

void frmMember_Criteria::SetCriteria(const QString& qrLName, const QString& qrFName,
                                     const QString& qrOccup, const QString& qrMobile,
                                     const QString& qrGroups)
{
    m_txtLastName->setText(qrLName);
    m_txtFirstName->setText(qrFName);
    m_txtOccup->setText(qrOccup);
    m_txtPhone->setText(qrMobile);
    if (qrGroups.isEmpty())
        return;
    for (const QString& piece : qrGroups.split(QLatin1Char(','))) {
        bool isNumber = false;
        const int id = piece.toInt(&isNumber);
        if (!isNumber)
            continue;
        const int row = mdlGroups::FindItemData(*m_lstGroups, id);
        if (row >= 0)
            m_lstGroups->item(row)->setSelected(true);
    }
}

QString frmMember_Criteria::SelectedGroupIds() const
{
    QStringList ids;
    for (int row = 0; row < m_lstGroups->count(); ++row) {
        const QListWidgetItem* entry = m_lstGroups->item(row);
        if (entry->isSelected())
            ids << QString::number(entry->data(Qt::UserRole).toInt());
    }
    return ids.join(QLatin1Char(','));
}

void frmMember_Criteria::cmdOK_Click()
{
    rt::Form* docked = mdlMain::ChildForms().Item(1);
    if (docked && docked->Name() == QLatin1String("frmMember_List")) {
        if (auto* list = qobject_cast<frmMember_List*>(docked)) {
            try {
                list->SetListCriteria(m_txtLastName->Text(), m_txtFirstName->Text(),
                                      m_txtOccup->Text(), m_txtPhone->Text(), SelectedGroupIds());
            } catch (const rt::RuntimeError& error) {
                rt::reportUntrapped(error);
            }
        }
    }
    rt::Forms::unload(this);
}

void frmMember_Criteria::cmdClear_Click()
{
    for (rt::TextBox* box : {m_txtLastName, m_txtFirstName, m_txtPhone, m_txtOccup})
        box->setText(QString());
    m_lstGroups->clearSelection();
}

void frmMember_Criteria::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmMember_Criteria::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    memberfields::EnterOrEscape(*this, KeyCode);
}

void frmMember_Criteria::Form_KeyPress(int& KeyAscii)
{
    memberfields::DropSwallowedKey(KeyAscii);
}
