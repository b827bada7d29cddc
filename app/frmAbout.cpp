#include "app/frmAbout.h"

#include "app/Installation.h"
#include "app/Pictures.h"
#include "platform/App.h"
#include "platform/Err.h"
#include "platform/MsgBox.h"
#include "platform/Shell.h"
#include "platform/TextFile.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* named(QLabel* label, const QString& name) {
    label->setObjectName(name);
    return label;
}

// A label that reads and acts as a link.
void makeLink(QLabel* label, QObject* filter) {
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 204));
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(filter);
}

} // namespace

frmAbout::frmAbout()
    : rt::Form(QStringLiteral("frmAbout")),
      lblTitle(named(new QLabel(rt::App::title(), this), QStringLiteral("lblTitle"))),
      lblVersion(named(new QLabel(QStringLiteral("Έκδοση"), this), QStringLiteral("lblVersion"))),
      lblDescription(named(new QLabel(this), QStringLiteral("lblDescription"))),
      lblDisclaimer(named(new QLabel(this), QStringLiteral("lblDisclaimer"))),
      lblCopyRight(named(new QLabel(this), QStringLiteral("lblCopyRight"))),
      lblURL(named(new QLabel(QStringLiteral("Ιστοσελίδα:"), this), QStringLiteral("lblURL"))),
      lblMail(named(new QLabel(QStringLiteral("E-mail:"), this), QStringLiteral("lblMail"))),
      hprNerqPage(named(new QLabel(this), QStringLiteral("hprNerqPage"))),
      hprNerqMail(named(new QLabel(this), QStringLiteral("hprNerqMail"))),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdSysInfo(new QPushButton(QStringLiteral("&System Info..."), this)) {
    setWindowTitle(QStringLiteral("Πληροφορίες για το Vantrel"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    lblTitle->setFont(titleFont);
    for (QLabel* label : {lblDescription, lblDisclaimer, lblCopyRight})
        label->setWordWrap(true);
    makeLink(hprNerqPage, this);
    makeLink(hprNerqMail, this);

    auto* picture = named(new QLabel(this), QStringLiteral("picIcon"));
    picture->setPixmap(pictures::Logo(64));
    picture->setAlignment(Qt::AlignTop);
    auto* more = new QLabel(QStringLiteral("Περισσότερες Πληροφορίες"), this);
    QFont bold = more->font();
    bold.setBold(true);
    more->setFont(bold);

    auto* links = new QGridLayout;
    links->addWidget(more, 0, 0, 1, 2);
    links->addWidget(lblURL, 1, 0);
    links->addWidget(hprNerqPage, 1, 1);
    links->addWidget(lblMail, 2, 0);
    links->addWidget(hprNerqMail, 2, 1);
    links->setColumnStretch(1, 1);
    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(6);
    texts->addWidget(lblDescription);
    texts->addSpacing(6);
    texts->addLayout(links);
    texts->addSpacing(6);
    texts->addWidget(lblCopyRight);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addSpacing(12);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(bottom);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    setFixedWidth(520);
}

void frmAbout::Form_Load() {
    lblVersion->setText(lblVersion->text() + QStringLiteral("%1.%2%3")
                                                 .arg(rt::App::major())
                                                 .arg(rt::App::minor())
                                                 .arg(rt::App::revision()));
    lblDescription->setText(
        QStringLiteral("Εφαρμογή διαχείρισης και μαζικής προώθησης μηνυμάτων κινητής τηλεφωνίας."));
    lblDisclaimer->setText(installation::Text(installation::NoticeFile));
    lblCopyRight->setText(installation::Text(installation::CopyrightFile));
    hprNerqPage->setText(installation::WebAddress());
    hprNerqMail->setText(installation::MailAddress());
    adjustSize();
}

void frmAbout::cmdOK_Click() {
    rt::Forms::unload(this);
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::hprNerqPage_Click() {
    rt::ShellOpen(hprNerqPage->text());
}

void frmAbout::hprNerqMail_Click() {
    rt::ShellOpen(QStringLiteral("mailto:") + hprNerqMail->text());
}

void frmAbout::StartSysInfo() {
    try {
        QString SysInfoPath;
        if (GetKeyValue(rt::HKEY_LOCAL_MACHINE,
                        QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                        QStringLiteral("PATH"), SysInfoPath)) {
            rt::Shell(SysInfoPath);
            return;
        }
        if (GetKeyValue(rt::HKEY_LOCAL_MACHINE,
                        QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                        QStringLiteral("MSINFO"), SysInfoPath)) {
            const QString program = rt::findFileNoCase(SysInfoPath, QStringLiteral("MSINFO32.EXE"));
            if (rt::FileExists(program)) {
                rt::Shell(program);
                return;
            }
        }
    } catch (const rt::RuntimeError&) {
        // Falls through to the box: a program that is named but cannot start is as
        // unavailable as a missing one.
    }
    rt::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), rt::mb::OKOnly);
}

bool frmAbout::GetKeyValue(rt::HKEY KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) {
    rt::HKEY hKey = 0;
    if (rt::RegOpenKeyEx(KeyRoot, KeyName, 0, 0x2003F, &hKey) != rt::reg::ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::uint32_t KeyValType = 0;
    QByteArray tmpVal;
    if (rt::RegQueryValueEx(hKey, SubKeyRef, &KeyValType, &tmpVal, 1024) !=
        rt::reg::ERROR_SUCCESS) {
        KeyVal.clear();
        rt::RegCloseKey(hKey);
        return false;
    }
    if (tmpVal.endsWith('\0'))
        tmpVal.chop(1);
    switch (KeyValType) {
    case rt::reg::REG_SZ:
        KeyVal = QString::fromUtf8(tmpVal);
        break;
    case rt::reg::REG_DWORD: {
        QString digits;
        for (qsizetype i = tmpVal.size() - 1; i >= 0; --i)
            digits += QString::number(static_cast<unsigned char>(tmpVal.at(i)), 16).toUpper();
        KeyVal = QStringLiteral("&h") + digits;
        break;
    }
    default:
        break;
    }
    rt::RegCloseKey(hKey);
    return true;
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == hprNerqPage) {
            hprNerqPage_Click();
            return true;
        }
        if (watched == hprNerqMail) {
            hprNerqMail_Click();
            return true;
        }
    }
    return rt::Form::eventFilter(watched, event);
}
