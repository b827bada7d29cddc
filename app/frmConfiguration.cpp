#include "app/frmConfiguration.h"

#include "app/OriginatorControl.h"
#include "app/PasswordField.h"
#include "app/Pictures.h"
#include "app/mdlSettings.h"
#include "platform/Err.h"
#include "platform/TextBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLabel* label(const QString& text, QWidget* parent, bool wrap = false) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(wrap);
    return l;
}

QCheckBox* checkBox(const QString& name, const QString& text, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmConfiguration::frmConfiguration()
    : rt::Form(QStringLiteral("frmConfiguration")), lblComments(new QLabel(this)),
      SSTab(new QTabWidget(this)),
      txtOriginator(new OriginatorControl(QStringLiteral("txtOriginator"), this)),
      txtUserName(new rt::TextBox(QStringLiteral("txtUserName"), this)),
      txtPassword(new PasswordField(QStringLiteral("txtPassword"), this)),
      txtServerURL(new rt::TextBox(QStringLiteral("txtServerURL"), this)),
      txtServerPort(new rt::TextBox(QStringLiteral("txtServerPort"), this)),
      chkEnableSecurity(checkBox(QStringLiteral("chkEnableSecurity"),
                                 QStringLiteral("Ενεργοποίηση ασφάλειας"), this)),
      chkAskOnStartUp(checkBox(
          QStringLiteral("chkAskOnStartUp"),
          QStringLiteral("Να ζητείται ο κωδικός χρήστη κατά την εκκίνηση του προγράμματος"), this)),
      chkAskOnSend(checkBox(
          QStringLiteral("chkAskOnSend"),
          QStringLiteral("Να ζητείται ο κωδικός χρήστη κατά την αποστολή μηνυμάτων"), this)),
      cmdOK(button(QStringLiteral("cmdOK"), QStringLiteral("ΟΚ"), this)),
      cmdCancel(button(QStringLiteral("cmdCancel"), QStringLiteral("Ακύρωση"), this)),
      cmdAply(button(QStringLiteral("cmdAply"), QStringLiteral("Εφαρμογή"), this)) {
    setWindowTitle(QStringLiteral("Παράμετροι Προγράμματος"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    lblComments->setObjectName(QStringLiteral("lblComments"));
    lblComments->setWordWrap(true);
    SSTab->setObjectName(QStringLiteral("SSTab"));

    // Sender.
    auto* sender = new QWidget;
    auto* senderLayout = new QGridLayout(sender);
    senderLayout->addWidget(label(QStringLiteral("Αποστολέας"), sender), 0, 0);
    senderLayout->addWidget(txtOriginator, 0, 1);
    senderLayout->addWidget(
        label(QStringLiteral("Πληκτρολογήστε εδώ το όνομα του αποστολέα (Originator) που "
                             "θέλετε να φαίνεται στα μηνύματά σας."),
              sender, true),
        1, 0, 1, 2);
    senderLayout->addWidget(
        label(QStringLiteral("Αν το όνομα είναι αλφαριθμητικό (δηλαδή περιέχει αριθμούς και "
                             "γράμματα) το μήκος του θα πρέπει να είναι μέχρι 11 χαρακτήρες."),
              sender, true),
        2, 0, 1, 2);
    senderLayout->addWidget(
        label(QStringLiteral("Για λόγους συμβατότητας με κινητά παλαιότερου τύπου είναι "
                             "προτιμότερο να χρησιμοποιήσετε κεφαλαία."),
              sender, true),
        3, 0, 1, 2);
    senderLayout->setRowStretch(4, 1);
    senderLayout->setColumnStretch(1, 1);

    // Connection.
    auto* connection = new QWidget;
    auto* user = new QGroupBox(QStringLiteral("Στοιχεία Χρήστη"), connection);
    auto* userLayout = new QGridLayout(user);
    userLayout->addWidget(label(QStringLiteral("Όνομα Χρήστη"), user), 0, 0);
    userLayout->addWidget(txtUserName, 0, 1);
    userLayout->addWidget(label(QStringLiteral("Κωδικός Πρόσβασης"), user), 1, 0);
    userLayout->addWidget(txtPassword, 1, 1);
    userLayout->setColumnStretch(1, 1);
    auto* server = new QGroupBox(QStringLiteral("Στοιχεία Διακομιστή"), connection);
    auto* serverLayout = new QGridLayout(server);
    serverLayout->addWidget(label(QStringLiteral("Διεύθυνση Διακομιστή     http://"), server), 0,
                            0);
    serverLayout->addWidget(txtServerURL, 0, 1);
    serverLayout->addWidget(label(QStringLiteral("Θύρα Διακομιστή"), server), 1, 0);
    serverLayout->addWidget(txtServerPort, 1, 1);
    serverLayout->setColumnStretch(1, 1);
    auto* connectionLayout = new QVBoxLayout(connection);
    connectionLayout->addWidget(user);
    connectionLayout->addWidget(server);
    connectionLayout->addStretch(1);

    // Security.
    auto* security = new QWidget;
    auto* securityLayout = new QVBoxLayout(security);
    securityLayout->addWidget(label(QStringLiteral("Εδώ μπορείτε να κάνετε τις απαραίτητες "
                                                   "ρυθμίσεις για την ασφάλεια του "
                                                   "προγράμματός σας."),
                                    security, true));
    securityLayout->addSpacing(6);
    securityLayout->addWidget(chkEnableSecurity);
    securityLayout->addWidget(chkAskOnStartUp);
    securityLayout->addWidget(chkAskOnSend);
    securityLayout->addStretch(1);

    SSTab->addTab(sender, QStringLiteral("Στοιχεία Αποστολέα"));
    SSTab->addTab(connection, QStringLiteral("Σύνδεση"));
    SSTab->addTab(security, QStringLiteral("Ασφάλεια"));

    auto* Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(pictures::Lock(40));
    Image1->setAlignment(Qt::AlignTop);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addWidget(lblComments, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdAply);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(SSTab, 1);
    layout->addLayout(buttons);

    connect(chkEnableSecurity, &QCheckBox::toggled, this,
            &frmConfiguration::chkEnableSecurity_Click);
    connect(cmdOK, &QPushButton::clicked, this,
            [this] { clicked(&frmConfiguration::cmdOK_Click); });
    connect(cmdAply, &QPushButton::clicked, this,
            [this] { clicked(&frmConfiguration::cmdAply_Click); });
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfiguration::cmdCancel_Click);
    resize(520, 400);
}

void frmConfiguration::Form_Load() {
    lblComments->setText(
        QStringLiteral("Πληκτρολογίστε τα στοιχεία που χρειάζονται για ") +
        QStringLiteral("την επικοινωνία του προγράμματος με τον διακομιστή μηνυμάτων.") +
        QLatin1Char('\n') +
        QStringLiteral("Για περισσότερες πληροφορίες επισκευτείτε τη σελίδα της Nerq."));
    txtOriginator->setText(mdlSettings::Originator);
    txtServerURL->setText(mdlSettings::ServerURL);
    txtServerPort->setText(QString::number(mdlSettings::ServerPort));
    txtUserName->setText(mdlSettings::UserName);
    txtPassword->setText(mdlSettings::Password);
    chkEnableSecurity->setChecked(mdlSettings::EnableSecurity != 0);
    chkAskOnStartUp->setChecked(mdlSettings::AskOnStartUp != 0);
    chkAskOnSend->setChecked(mdlSettings::AskOnSend != 0);
    chkEnableSecurity_Click();
}

void frmConfiguration::chkEnableSecurity_Click() {
    const bool on = chkEnableSecurity->isChecked();
    chkAskOnStartUp->setEnabled(on);
    chkAskOnSend->setEnabled(on);
}

void frmConfiguration::SaveFormToSettings() {
    mdlSettings::Originator = txtOriginator->Text();
    mdlSettings::ServerURL = txtServerURL->Text();
    mdlSettings::ServerPort = mdlSettings::CPort(txtServerPort->Text());
    mdlSettings::UserName = txtUserName->Text();
    mdlSettings::Password = txtPassword->Text();

    // A flag can be set only while there is a password and security is on.
    if (mdlSettings::Password.isEmpty()) {
        mdlSettings::EnableSecurity = 0;
        mdlSettings::AskOnStartUp = 0;
        mdlSettings::AskOnSend = 0;
        return;
    }
    mdlSettings::EnableSecurity = chkEnableSecurity->isChecked() ? 1 : 0;
    if (mdlSettings::EnableSecurity != 1) {
        mdlSettings::AskOnStartUp = 0;
        mdlSettings::AskOnSend = 0;
        return;
    }
    mdlSettings::AskOnStartUp = chkAskOnStartUp->isChecked() ? 1 : 0;
    mdlSettings::AskOnSend = chkAskOnSend->isChecked() ? 1 : 0;
}

void frmConfiguration::cmdOK_Click() {
    SaveFormToSettings();
    mdlSettings::SaveSettings();
    rt::Forms::unload(this);
}

void frmConfiguration::cmdAply_Click() {
    SaveFormToSettings();
    mdlSettings::SaveSettings();
}

void frmConfiguration::cmdCancel_Click() {
    rt::Forms::unload(this);
}

void frmConfiguration::clicked(void (frmConfiguration::*handler)()) {
    try {
        (this->*handler)();
    } catch (const rt::RuntimeError& error) {
        rt::reportUntrapped(error);
    }
}
