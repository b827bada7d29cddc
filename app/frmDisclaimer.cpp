#include "app/frmDisclaimer.h"

#include "app/Installation.h"
#include "app/mdlSettings.h"
#include "platform/End.h"
#include "platform/MultiLineTextBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmDisclaimer::frmDisclaimer()
    : rt::Form(QStringLiteral("frmDisclaimer")),
      Label1(new QLabel(QStringLiteral("Όροι Χρήσης"), this)),
      txtTerms(new rt::MultiLineTextBox(QStringLiteral("txtTerms"), this)),
      cmdAgree(new QPushButton(QStringLiteral("Συμφωνώ"), this)),
      cmdDisagree(new QPushButton(QStringLiteral("Διαφωνώ"), this)) {
    setWindowTitle(QStringLiteral("Όροι Χρήσης Υπηρεσιών SMS της Nerq"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    Label1->setFont(heading);
    cmdAgree->setObjectName(QStringLiteral("cmdAgree"));
    cmdDisagree->setObjectName(QStringLiteral("cmdDisagree"));
    cmdAgree->setAutoDefault(false);
    cmdDisagree->setAutoDefault(false);
    txtTerms->setLocked(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAgree);
    buttons->addWidget(cmdDisagree);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(txtTerms, 1);
    layout->addLayout(buttons);

    connect(cmdAgree, &QPushButton::clicked, this, &frmDisclaimer::cmdAgree_Click);
    connect(cmdDisagree, &QPushButton::clicked, this, &frmDisclaimer::cmdDisagree_Click);
    resize(560, 440);
}

void frmDisclaimer::Form_Load() {
    txtTerms->setText(installation::Text(installation::TermsFile));
    // The terms are read from their beginning.
    txtTerms->setSelStart(0);
    m_closeGuard = true;
}

void frmDisclaimer::Form_Unload(bool& cancel) {
    cancel = m_closeGuard;
}

void frmDisclaimer::cmdAgree_Click() {
    m_closeGuard = false;
    mdlSettings::ShowDisclaimer = 0;
    rt::Forms::unload(this);
}

void frmDisclaimer::cmdDisagree_Click() {
    m_closeGuard = false;
    rt::End();
}
