#include "addressbook/frmMember_Edit.h"

#include "addressbook/MemberFields.h"
#include "addressbook/MemberWindow.h"
#include "addressbook/PhoneField.h"
#include "app/DialogButtons.h"
#include "app/mdlDataBase.h"
#include "app/mdlMain.h"
#include "platform/Err.h"
#include "platform/Like.h"
#include "platform/Recordset.h"
#include "platform/TextBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString defaultNamePrefix = QStringLiteral("Μέλος ");

// The digits of a positive whole number as text ("+007" gives "7"), or an empty text
// when the text is no such number. The numbers are kept as text so that any number a
// surname holds counts, however large.
QString positiveDigits(const QString& text)
{
    QStringView digits = QStringView(text).trimmed();
    if (digits.startsWith(QLatin1Char('+')))
        digits = digits.mid(1);
    if (digits.isEmpty())
        return QString();
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return QString();
    }
    while (digits.startsWith(QLatin1Char('0')))
        digits = digits.mid(1);
    return digits.toString();
}

bool isLarger(const QString& digits, const QString& than)
{
    return digits.size() != than.size() ? digits.size() > than.size() : digits > than;
}

QString plusOne(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits.at(i) != QLatin1Char('9')) {
            digits[i] = QChar(digits.at(i).unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

rt::Recordset openSnapshot(const rt::Query& query)
{
    rt::Recordset rs =
        mdlDataBase::MainDatabase().openRecordset(query, rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        rt::Raise(rs.status().number, rs.status().description, QStringLiteral("SQLite"));
    return rs;
}

} // namespace

QString frmMember_Edit::designCaption()
{
    return QStringLiteral("Διόρθωση Στοιχείων Μέλους");
}

QString frmMember_Edit::newMemberCaption()
{
    return QStringLiteral("Εισαγωγή Νέου Μέλους");
}

frmMember_Edit::frmMember_Edit() : rt::Form(QStringLiteral("frmMember_Edit"))
{
    setWindowTitle(designCaption());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setKeyPreview(true);

    m_lblInst1 = new QLabel(QStringLiteral("Συμπληρώστε τα στοιχεία του μέλους. Το πεδίο "
                                           "\"Αρ. Κινητού\" είναι υποχρεωτικό."),
                            this);
    m_lblInst1->setObjectName(QStringLiteral("lblInst1"));
    m_lblInst1->setWordWrap(true);

    auto* grid = new QGridLayout;
    const memberfields::Fields f = memberfields::AddMemberFields(this, grid, 0);
    m_fields[0] = f.lastName;
    m_fields[1] = f.firstName;
    m_txtPhone = f.phone;
    m_cmbOccup = f.occupation;
    grid->setColumnStretch(1, 1);

    // Greek capitals omicron and kappa.
    m_cmdOK = dialogbuttons::DialogButton(QStringLiteral("cmdOK"), QStringLiteral("ΟΚ"), this);
    m_cmdCancel =
        dialogbuttons::DialogButton(QStringLiteral("cmdCancel"), QStringLiteral("Ακύρωση"), this);
    m_cmdOK->setEnabled(false);
    QWidget::setTabOrder(m_cmbOccup, m_cmdOK);
    QHBoxLayout* buttons = dialogbuttons::ButtonRow({m_cmdOK, m_cmdCancel});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblInst1);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(m_fields[0], &rt::TextBox::Change, this, &frmMember_Edit::FieldChanged);
    connect(m_fields[1], &rt::TextBox::Change, this, &frmMember_Edit::FieldChanged);
    connect(m_txtPhone, &PhoneField::Change, this, &frmMember_Edit::FieldChanged);
    connect(m_cmbOccup, &QComboBox::editTextChanged, this, &frmMember_Edit::FieldChanged);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmMember_Edit::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMember_Edit::cmdCancel_Click);

    setFixedSize(sizeHint().expandedTo(QSize(400, 0)));
}

void frmMember_Edit::EditMember(const QString& MemKey, const QString& GrpKey,
                                const QString& LastName, const QString& FirstName,
                                const QString& Occupation, const QString& Phone)
{
    // The occupations already stored, each once (letter case ignored, as names are
    // compared everywhere), in Greek order; read afresh for every preparation.
    m_cmbOccup->clear();
    {
        rt::Recordset rs = openSnapshot(
            {QStringLiteral("SELECT Occupation FROM members GROUP BY Occupation COLLATE GREEK "
                            "ORDER BY Occupation COLLATE GREEK"),
             {}});
        for (; !rs.eof(); rs.moveNext())
            mdlMain::AddComboItem(m_cmbOccup, mdlDataBase::NullToEmpty(rs.field(0)).toString(), 0,
                                  false);
    }
    m_memberKey = MemKey;
    m_groupKey = GrpKey;
    if (!MemKey.isEmpty()) {
        m_fields[0]->setText(LastName);
        m_fields[1]->setText(FirstName);
        m_txtPhone->setText(Phone);
        m_cmbOccup->setEditText(Occupation);
    } else {
        setWindowTitle(newMemberCaption());
        // A proposal that the surname box could hold only cut short would be a number
        // taken already: then none is proposed.
        const QString proposed = defaultNamePrefix + NextMemberNumber();
        const int room = m_fields[0]->MaxLength();
        m_fields[0]->setText(room == 0 || proposed.size() <= room ? proposed : QString());
        mdlMain::SelectAllText(m_fields[0]);
    }
    m_cmdOK->setEnabled(false);
    m_fields[0]->setFocus();
}

QString frmMember_Edit::NextMemberNumber()
{
    rt::Recordset rs = openSnapshot(
        {QStringLiteral("SELECT LastName FROM members WHERE LastName LIKE ? ESCAPE '!'"),
         {rt::escapeLike(defaultNamePrefix) + QLatin1Char('%')}});
    QString largest; // none yet: 0
    for (; !rs.eof(); rs.moveNext()) {
        const QString name = mdlDataBase::NullToEmpty(rs.field(0)).toString();
        const QString number = positiveDigits(name.mid(defaultNamePrefix.size()));
        if (isLarger(number, largest))
            largest = number;
    }
    return plusOne(largest.isEmpty() ? QStringLiteral("0") : largest);
}

void frmMember_Edit::FieldChanged()
{
    m_cmdOK->setEnabled(!m_txtPhone->Text().isEmpty());
}

void frmMember_Edit::cmdOK_Click()
{
    // The dialog closes in any case; a failure of the window's write is shown (and
    // logged), not passed over, so the user knows the member was not stored.
    try {
        if (MemberWindow* window = MemberWindow::Docked())
            window->MemberEdited(m_memberKey, m_groupKey, m_fields[0]->Text(), m_fields[1]->Text(),
                                 m_cmbOccup->currentText(), m_txtPhone->Text());
    } catch (const rt::RuntimeError& error) {
        rt::reportUntrapped(error);
    }
    rt::Forms::unload(this);
}

void frmMember_Edit::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmMember_Edit::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    memberfields::EnterMovesFocus(KeyCode);
}

void frmMember_Edit::Form_KeyPress(int& KeyAscii)
{
    memberfields::DropSwallowedKey(KeyAscii);
}
