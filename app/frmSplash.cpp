#include "app/frmSplash.h"

#include "app/Installation.h"
#include "app/Pictures.h"
#include "platform/App.h"
#include "platform/Events.h"
#include "platform/WindowServices.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A window that waits for the user (a dialog or box shown modally) is never under the
// splash: while one is up the splash stands among the other windows, below the one shown
// last; once none is left it is back above them all.
class BelowWindowsThatWait : public QObject {
public:
    explicit BelowWindowsThatWait(frmSplash& splash) : QObject(&splash), m_splash(splash)
    {
        qApp->installEventFilter(this);
        if (QApplication::activeModalWidget())
            rt::SetTopmost(m_splash, false);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
            return false;
        const auto* window = qobject_cast<QWidget*>(watched);
        if (window == nullptr || window == &m_splash || !window->isWindow() || !window->isModal())
            return false;
        if (event->type() == QEvent::Show) {
            // Before the window is mapped, so that it comes on top of the splash.
            rt::SetTopmost(m_splash, false);
        } else {
            // The toolkit lets go of a modal window after its hide event.
            QTimer::singleShot(0, this, [this] {
                if (!m_splash.isUnloading() && !QApplication::activeModalWidget())
                    rt::SetTopmost(m_splash, true);
            });
        }
        return false;
    }

private:
    frmSplash& m_splash;
};

} // namespace

frmSplash::frmSplash()
    : rt::Form(QStringLiteral("frmSplash")), Picture1(new QLabel(this)),
      lblProductName(new QLabel(this)), lblVersion(new QLabel(this)),
      lblCopyRight(new QLabel(this)),
      Label1(new QLabel(QStringLiteral("SMS Client Application"), this)),
      tmrSplash(new QTimer(this)) {
    // Shown without taking the focus, and a click on it does not take it either: once it
    // had it, some window managers left the main window without the keyboard when the
    // splash went. A key still closes it when the focus is put on it.
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setFocusPolicy(Qt::StrongFocus);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblCopyRight->setObjectName(QStringLiteral("lblCopyRight"));
    Label1->setObjectName(QStringLiteral("Label1"));
    tmrSplash->setObjectName(QStringLiteral("tmrSplash"));
    tmrSplash->setInterval(3000);

    Picture1->setPixmap(pictures::Logo(96));
    Picture1->installEventFilter(this);
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    lblProductName->setFont(big);
    QFont medium = Label1->font();
    medium.setPointSizeF(medium.pointSizeF() * 1.3);
    Label1->setFont(medium);
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCopyRight->setWordWrap(true);

    // A raised border, as the window has no frame of its own.
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    auto* texts = new QVBoxLayout;
    texts->addWidget(lblProductName);
    texts->addWidget(Label1);
    texts->addStretch(1);
    texts->addWidget(lblVersion);
    auto* top = new QHBoxLayout;
    top->addWidget(Picture1, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(texts, 1);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(20, 20, 20, 14);
    inner->addLayout(top, 1);
    inner->addSpacing(10);
    inner->addWidget(lblCopyRight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);

    connect(tmrSplash, &QTimer::timeout, this, &frmSplash::tmrSplash_Timer);
    resize(440, 250);
}

void frmSplash::Form_Load() {
    const QSize size = this->size();
    QRect screen(0, 0, 1024, 768);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->geometry();
    const QPoint at(screen.x() + screen.width() / 2 - size.width() / 2,
                    screen.y() + screen.height() / 2 - size.height() / 2);
    rt::ShowTopmostWithoutFocus(*this, QRect(at, size));
    new BelowWindowsThatWait(*this);
    rt::DoEvents();
    // A click or key handled just now has closed the splash already.
    if (isUnloading())
        return;
    lblVersion->setText(QStringLiteral("Version %1.%2%3")
                            .arg(rt::App::major())
                            .arg(rt::App::minor())
                            .arg(rt::App::revision()));
    lblProductName->setText(rt::App::title());
    lblCopyRight->setText(installation::Text(installation::CopyrightFile));
    tmrSplash->start();
}

void frmSplash::Form_Click() {
    rt::Forms::unload(this);
}

void frmSplash::Form_KeyPress(int& KeyAscii) {
    Q_UNUSED(KeyAscii);
    rt::Forms::unload(this);
}

void frmSplash::Picture1_Click() {
    rt::Forms::unload(this);
}

void frmSplash::tmrSplash_Timer() {
    rt::Forms::unload(this);
}

void frmSplash::mouseReleaseEvent(QMouseEvent* event) {
    // The labels let their clicks through to the window.
    if (event->button() == Qt::LeftButton)
        Form_Click();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Picture1_Click();
        return true;
    }
    return rt::Form::eventFilter(watched, event);
}
