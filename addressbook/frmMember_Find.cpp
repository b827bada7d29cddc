#include "addressbook/frmMember_Find.h"

#include "addressbook/MemberFields.h"
#include "addressbook/MemberWindow.h"
#include "addressbook/PhoneField.h"
#include "addressbook/mdlGroups.h"
#include "app/DialogButtons.h"
#include "app/frmMain.h"
#include "platform/KeyInput.h"
#include "platform/TextBox.h"
#include "platform/WindowServices.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

frmMember_Find::frmMember_Find() : rt::Form(QStringLiteral("frmMember_Find"))
{
    setWindowTitle(QStringLiteral("Εύρεση Μελών"));
    setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint);
    setKeyPreview(true);

    m_lblInst = new QLabel(
        QStringLiteral("Πληκτρολογήστε τα στοιχεία του μέλους ή των μελών που ζητάτε."), this);
    m_lblInst->setObjectName(QStringLiteral("lblInst"));
    m_lblInst->setWordWrap(true);

    auto* grid = new QGridLayout;
    const memberfields::Fields f = memberfields::AddMemberFields(this, grid, 0);
    m_fields[0] = f.lastName;
    m_fields[1] = f.firstName;
    m_txtPhone = f.phone;
    m_cmbOccup = f.occupation;
    grid->setColumnStretch(1, 1);

    m_cmdFind =
        dialogbuttons::DialogButton(QStringLiteral("cmdFind"), QStringLiteral("Εύρεση"), this);
    m_cmdCancel =
        dialogbuttons::DialogButton(QStringLiteral("cmdCancel"), QStringLiteral("Ακύρωση"), this);
    QWidget::setTabOrder(m_cmbOccup, m_cmdFind);
    QHBoxLayout* buttons = dialogbuttons::ButtonRow({m_cmdFind, m_cmdCancel});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblInst);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(m_cmdFind, &QPushButton::clicked, this, &frmMember_Find::cmdFind_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMember_Find::cmdCancel_Click);

    setFixedSize(sizeHint().expandedTo(QSize(400, 0)));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now != this && isAncestorOf(now))
            m_lastControl = now;
    });
}

void frmMember_Find::Form_Load()
{
    // Centred on the main window (on the screen when there is none), above the other
    // windows, without taking the focus from the docked window.
    QRect around;
    if (frmMain* main = rt::Forms::find<frmMain>())
        around = main->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        around = screen->availableGeometry();
    QRect place(QPoint(0, 0), size());
    place.moveCenter(around.center());
    rt::ShowTopmostWithoutFocus(*this, place);
}

void frmMember_Find::SearchMember()
{
    m_fields[0]->setText(mdlGroups::SearchLastName);
    m_fields[1]->setText(mdlGroups::SearchFirstName);
    m_txtPhone->setText(mdlGroups::SearchPhone);
    m_cmbOccup->setEditText(mdlGroups::SearchOccupation);
    if (!isVisible()) {
        const QRect place = geometry();
        rt::ShowTopmostWithoutFocus(*this, place);
    }
}

void frmMember_Find::cmdFind_Click()
{
    mdlGroups::SearchLastName = m_fields[0]->Text();
    mdlGroups::SearchFirstName = m_fields[1]->Text();
    mdlGroups::SearchPhone = m_txtPhone->Text().trimmed();
    mdlGroups::SearchOccupation = m_cmbOccup->currentText();
    if (MemberWindow* window = MemberWindow::Docked())
        window->FindMembers(mdlGroups::SearchLastName, mdlGroups::SearchFirstName,
                            mdlGroups::SearchPhone, mdlGroups::SearchOccupation);
}

void frmMember_Find::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmMember_Find::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    memberfields::EnterMovesFocus(KeyCode);
    if (KeyCode == rt::key::Escape)
        rt::Forms::unload(this);
}

void frmMember_Find::Form_KeyPress(int& KeyAscii)
{
    memberfields::DropSwallowedKey(KeyAscii);
}

void frmMember_Find::focusInEvent(QFocusEvent* event)
{
    rt::Form::focusInEvent(event);
    // The docked window gives the focus back to the dialog itself after a search that
    // found nothing; as on the system the program comes from, a form with controls
    // passes it on to the control that had it, and the keys go on from there.
    QWidget* control = m_lastControl ? m_lastControl.data() : m_fields[0];
    if (control->isEnabled() && control->isVisible())
        control->setFocus(Qt::OtherFocusReason);
}

bool frmMember_Find::event(QEvent* event)
{
    // A modal window opened while the dialog is on screen (the member dialog of the docked
    // window, a question) would open beneath it, centred at the same place: hidden by a
    // window it blocks, the program would look frozen. The dialog leaves the top layer
    // while a modal window is open and comes back to it afterwards.
    if (event->type() == QEvent::WindowBlocked)
        keepOnTop(false);
    else if (event->type() == QEvent::WindowUnblocked)
        keepOnTop(true);
    return rt::Form::event(event);
}

void frmMember_Find::keepOnTop(bool on)
{
    // The window's own flag, changed in place: the widget's would hide and show it again.
    if (QWindow* window = windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, on);
}
