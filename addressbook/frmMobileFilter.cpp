#include "addressbook/frmMobileFilter.h"

#include "addressbook/MemberFields.h"
#include "addressbook/MemberWindow.h"
#include "compose/frmMessage_Edit.h"
#include "app/DialogButtons.h"
#include "app/Main.h"
#include "app/mdlDataBase.h"
#include "app/mdlMain.h"
#include "platform/Err.h"
#include "platform/KeyInput.h"
#include "platform/Like.h"
#include "platform/MsgBox.h"
#include "platform/ProgressBar.h"
#include "platform/Recordset.h"
#include "platform/TextBox.h"
#include "platform/Transaction.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

namespace {

[[noreturn]] void raiseDatabaseError(const rt::DbResult& status)
{
    rt::Raise(status.number, status.description, QStringLiteral("SQLite"));
}

} // namespace

frmMobileFilter::frmMobileFilter() : rt::Form(QStringLiteral("frmMobileFilter"))
{
    setWindowTitle(QStringLiteral("Αλλαγή Αριθμών Κλήσης"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setKeyPreview(true);

    m_lblInstr = new QLabel(this);
    m_lblInstr->setObjectName(QStringLiteral("lblInstr"));
    m_lblInstr->setWordWrap(true);

    m_fraInput = new QGroupBox(this);
    m_fraInput->setObjectName(QStringLiteral("fraInput"));
    m_txtCode = new rt::TextBox(QStringLiteral("txtCode"), m_fraInput);
    m_txtNewCode = new rt::TextBox(QStringLiteral("txtNewCode"), m_fraInput);
    auto* input = new QGridLayout(m_fraInput);
    input->addWidget(new QLabel(QStringLiteral("Κωδικός Εταιρίας"), m_fraInput), 0, 0);
    input->addWidget(m_txtCode, 0, 1);
    input->addWidget(new QLabel(QStringLiteral("Νέος Κωδικός"), m_fraInput), 1, 0);
    input->addWidget(m_txtNewCode, 1, 1);
    input->setColumnStretch(1, 1);

    m_fraProgress = new QGroupBox(this);
    m_fraProgress->setObjectName(QStringLiteral("fraProgress"));
    auto* progressLabel =
        new QLabel(QStringLiteral("Γίνεται αντικατάσταση. Παρακαλώ περιμένετε..."), m_fraProgress);
    progressLabel->setObjectName(QStringLiteral("lblProgress"));
    m_prgBar = new rt::ProgressBar(m_fraProgress);
    m_prgBar->setObjectName(QStringLiteral("PrgBar"));
    auto* progress = new QVBoxLayout(m_fraProgress);
    progress->addWidget(progressLabel);
    progress->addWidget(m_prgBar);
    m_fraProgress->hide();

    m_cmdOK = dialogbuttons::DialogButton(QStringLiteral("cmdOK"), QStringLiteral("Αλλαγή Αριθμού"),
                                          this);
    m_cmdOK->setEnabled(false);
    m_cmdCancel =
        dialogbuttons::DialogButton(QStringLiteral("cmdCancel"), QStringLiteral("Ακύρωση"), this);
    QWidget::setTabOrder(m_txtCode, m_txtNewCode);
    QWidget::setTabOrder(m_txtNewCode, m_cmdOK);
    QHBoxLayout* buttons = dialogbuttons::ButtonRow({m_cmdOK, m_cmdCancel});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblInstr);
    layout->addWidget(m_fraInput);
    layout->addWidget(m_fraProgress);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_txtCode, &rt::TextBox::Change, this, &frmMobileFilter::UpdateOKState);
    connect(m_txtNewCode, &rt::TextBox::Change, this, &frmMobileFilter::UpdateOKState);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmMobileFilter::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMobileFilter::cmdCancel_Click);
    m_lblInstr->setFixedWidth(440);
}

void frmMobileFilter::Form_Load()
{
    m_lblInstr->setText(QStringLiteral(
        "Πληκτρολογήστε τον αριθμό τηλεφώνου που θέλετε να αντικαταστήσετε. Μπορείτε να "
        "αντικαταστήσετε ολόκληρο τον αριθμό με κάποιο άλλο ή μονο τα τέσσερα πρώτα ψηφεία "
        "του αριθμού. Π.χ. να αλλάξετε όλα τα νούμερα κινητών που αρχίζουν απο 0944 σε 0945."));
}

void frmMobileFilter::ShowInFront()
{
    // Modeless, the dialog easily ends up behind the main window; showing it again alone
    // would leave it there and the command would seem to do nothing.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void frmMobileFilter::UpdateOKState()
{
    m_cmdOK->setEnabled(!m_txtCode->Text().isEmpty() && !m_txtNewCode->Text().isEmpty());
}

void frmMobileFilter::cmdOK_Click()
{
    // Both codes are read once: what the user confirms is what is written.
    const QString oldCode = m_txtCode->Text();
    const QString newCode = m_txtNewCode->Text();
    if (oldCode.isEmpty() || newCode.isEmpty())
        return;
    // The old code is matched literally, as the beginning of the number.
    const QString pattern = rt::escapeLike(oldCode) + QLatin1Char('%');
    rt::Database& db = mdlDataBase::MainDatabase();
    qint64 found = 0;
    try {
        rt::Recordset counted = db.openRecordset(
            {QStringLiteral("SELECT COUNT(*) FROM members WHERE mobile_no LIKE ? ESCAPE '!'"),
             {pattern}},
            rt::RecordsetType::Snapshot);
        if (!counted.isOpen())
            raiseDatabaseError(counted.status());
        found = counted.field(0).toLongLong();
        counted.close();
        if (found == 0) {
            rt::MsgBox(QStringLiteral("Δεν βρέθηκαν αριθμοί που να αρχίζουν με αυτά τα ψηφία."),
                       rt::mb::Information);
            return;
        }
        if (rt::MsgBox(QStringLiteral("ΠΡΟΣΟΧΗ! Πρόκειται να αντικατασταθούν ") +
                           QString::number(found) +
                           QStringLiteral(" αριθμοί. Η διαδικασία\nαυτή δεν είναι ανατρέψιμη. "
                                          "Θέλετε να συνεχίσετε;"),
                       rt::mb::YesNo | rt::mb::Exclamation,
                       QStringLiteral("ΑΝΤΙΚΑΤΑΣΤΑΣΗ ΑΡΙΘΜΩΝ")) != rt::mb::Yes)
            return;
    } catch (const rt::RuntimeError& error) {
        rt::reportUntrapped(error);
        return;
    }

    m_cmdCancel->setEnabled(false);
    m_cmdOK->setEnabled(false);
    m_prgBar->setMax(int(std::min<qint64>(found, INT_MAX)));
    m_prgBar->setValue(0);
    m_fraProgress->show();
    qint64 written = 0;
    bool done = false;
    RewrittenNumbers rewritten;
    try {
        mdlMain::BusyPointer busy;
        // One statement in one transaction: every matching number is rewritten, or none
        // is when anything fails.
        rt::Transaction tx(db);
        if (!tx.status())
            raiseDatabaseError(tx.status());
        // What each number was and becomes, read in the same transaction, for the docked
        // window that holds members.
        const QString newNumber = QStringLiteral("? || substr(mobile_no, ?)");
        const QString matching = QStringLiteral(" WHERE mobile_no LIKE ? ESCAPE '!'");
        const QVariantList values{newCode, qint64(oldCode.size()) + 1, pattern};
        rt::Recordset rows =
            db.openRecordset({QStringLiteral("SELECT member_id, mobile_no, ") + newNumber +
                                  QStringLiteral(" FROM members") + matching,
                              values},
                             rt::RecordsetType::Snapshot);
        if (!rows.isOpen())
            raiseDatabaseError(rows.status());
        for (; !rows.eof(); rows.moveNext())
            rewritten.insert(rows.field(0).toLongLong(),
                             {rows.field(1).toString(), rows.field(2).toString()});
        rows.close();
        const rt::DbResult result = db.execute(
            {QStringLiteral("UPDATE members SET mobile_no = ") + newNumber + matching, values});
        if (!result)
            raiseDatabaseError(result);
        const rt::DbResult committed = tx.commit();
        if (!committed)
            raiseDatabaseError(committed);
        written = result.rowsAffected;
        m_prgBar->setValue(int(std::min<qint64>(written, INT_MAX)));
        done = true;
    } catch (const rt::RuntimeError& error) {
        // Rolled back: the box says why, and no number was changed.
        m_fraProgress->hide();
        rt::reportUntrapped(error);
    }
    if (done) {
        // A docked member list or organiser shows the new numbers before anything else
        // runs (the box below waits for the user), so that no edit there writes an old
        // number back; a docked message window sends to the new ones.
        if (MemberWindow* docked = MemberWindow::Docked())
            docked->NumbersRewritten(rewritten);
        else if (frmMessage_Edit* message = rt::Forms::find<frmMessage_Edit>())
            message->NumbersRewritten(rewritten);
        rt::MsgBox(QStringLiteral("Η λειτουργία τελείωσε επιτυχώς. Αντικαταστάθηκαν ") +
                       QString::number(written) + QStringLiteral(" αριθμοί."),
                   rt::mb::Information);
        m_fraProgress->hide();
    }
    m_cmdCancel->setEnabled(true);
    UpdateOKState();
}

void frmMobileFilter::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmMobileFilter::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    // While the rewrite runs, Enter and Escape do nothing.
    if (!m_fraProgress->isHidden()) {
        mdlDataBase::SwallowNextKey = 0;
        return;
    }
    memberfields::EnterMovesFocus(KeyCode);
    if (KeyCode == rt::key::Escape)
        rt::Forms::unload(this);
}

void frmMobileFilter::Form_KeyPress(int& KeyAscii)
{
    memberfields::DropSwallowedKey(KeyAscii);
}
