#include "app/frmGetUserData.h"

#include "app/PasswordField.h"
#include "app/Pictures.h"
#include "app/mdlDialogs.h"
#include "app/mdlSettings.h"
#include "platform/KeyInput.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmGetUserData::frmGetUserData()
    : rt::Form(QStringLiteral("frmGetUserData")),
      txtPassword(new PasswordField(QStringLiteral("txtPassword"), this)),
      cmdOK(new QPushButton(QStringLiteral("ΟΚ"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Άκυρο"), this)) {
    setWindowTitle(QStringLiteral("Ασφάλεια Προγράμματος"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setKeyPreview(true);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(pictures::Lock(48));
    Image1->setAlignment(Qt::AlignTop);
    auto* Label1 = new QLabel(
        QStringLiteral("Παρακαλώ πληκτρολογίστε τον κωδικό σας για να συνεχείσετε."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    auto* Label2 = new QLabel(QStringLiteral("Κωδικός Χρήστη"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtPassword->setMinimumWidth(180);

    auto* fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0, 1, 2);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(txtPassword, 1, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addSpacing(8);
    top->addLayout(fields, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // Enter and Escape are the form's own keys (its preview sees them first), so the
    // buttons must not act on them a second time.
    cmdOK->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmGetUserData::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmGetUserData::cmdCancel_Click);
    setFixedSize(sizeHint().expandedTo(QSize(400, 0)));
}

void frmGetUserData::Form_Load() {
    mdlSettings::LoginResult = 0;
}

void frmGetUserData::cmdOK_Click() {
    if (txtPassword->Text() == mdlSettings::Password) {
        mdlSettings::LoginResult = 1;
    } else {
        // The error box is then the only window in front.
        hide();
        mdlDialogs::AskUser(2, QString());
        mdlSettings::LoginResult = -1;
    }
    rt::Forms::unload(this);
}

void frmGetUserData::cmdCancel_Click() {
    rt::Forms::unload(this);
}

void frmGetUserData::Form_KeyDown(int& KeyCode, int Shift) {
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Return)
        cmdOK_Click();
    else if (KeyCode == rt::key::Escape)
        rt::Forms::unload(this);
}
