#include "tests/support/RealKeys.h"

#include "platform/Form.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace testsupport {

namespace {

// How often, and how long, a step waits for its window to take the keyboard.
constexpr int lookAgainMs = 10;
constexpr int triesBeforeGivingUp = 300;
// How long a window that its step's keys should have closed may stay open.
constexpr int closedWithinMs = 1000;

bool answerable(const QWidget& window)
{
    if (qobject_cast<const QDialog*>(&window) || qobject_cast<const QMenu*>(&window))
        return true;
    const auto* form = qobject_cast<const rt::Form*>(&window);
    return form != nullptr && window.windowModality() != Qt::NonModal;
}

bool hasTheKeyboard(QWidget& window)
{
    if (qobject_cast<QMenu*>(&window))
        return QApplication::activePopupWidget() == &window;
    return QApplication::activeWindow() == &window && QApplication::activePopupWidget() == nullptr;
}

QWidget* keyTarget(QWidget& window)
{
    if (qobject_cast<QMenu*>(&window))
        return &window;
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus->window() == &window ? focus : &window;
}

void closeUnanswered(QWidget& window)
{
    if (auto* dialog = qobject_cast<QDialog*>(&window))
        dialog->reject();
    else
        window.close();
}

} // namespace

QString describeWindow(const QWidget& window)
{
    if (const auto* box = qobject_cast<const QMessageBox*>(&window))
        return QStringLiteral("box: ") + box->text();
    if (const auto* files = qobject_cast<const QFileDialog*>(&window))
        return QStringLiteral("file: ") + files->windowTitle();
    if (!window.objectName().isEmpty())
        return window.objectName();
    return QString::fromLatin1(window.metaObject()->className());
}

RealWindows::RealWindows() { qApp->installEventFilter(this); }

RealWindows::~RealWindows() { qApp->removeEventFilter(this); }

QStringList RealWindows::boxTexts() const
{
    QStringList texts;
    for (const QString& line : m_shown) {
        if (line.startsWith(QLatin1String("box: ")))
            texts << line.mid(5);
    }
    return texts;
}

bool RealWindows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow() || !answerable(*window) || m_seen.contains(window))
        return false;
    m_seen.append(window);
    m_shown << describeWindow(*window);
    QPointer<QWidget> guarded(window);
    QTimer::singleShot(0, this, [this, guarded] { runNext(guarded, 0); });
    return false;
}

void RealWindows::runNext(QPointer<QWidget> window, int tries)
{
    if (!window || !window->isVisible())
        return;
    if (!hasTheKeyboard(*window) && tries < triesBeforeGivingUp) {
        QTimer::singleShot(lookAgainMs, this, [this, window, tries] { runNext(window, tries + 1); });
        return;
    }
    if (m_steps.isEmpty() || !hasTheKeyboard(*window)) {
        m_unanswered << describeWindow(*window);
        closeUnanswered(*window);
        return;
    }
    const Step step = m_steps.takeFirst();
    step(*window);
}

void RealWindows::thenClosed(Step step)
{
    then([this, step = std::move(step)](QWidget& window) {
        QPointer<QWidget> guarded(&window);
        step(window);
        if (!guarded || !guarded->isVisible())
            return;
        QTimer::singleShot(closedWithinMs, this, [this, guarded] {
            if (!guarded || !guarded->isVisible())
                return;
            m_leftOpen << describeWindow(*guarded);
            closeUnanswered(*guarded);
        });
    });
}

void RealWindows::pressKeys(QWidget& window, const QList<int>& keys)
{
    for (int key : keys) {
        QPointer<QWidget> target(keyTarget(window));
        if (!target)
            return;
        QTest::keyClick(target.data(), Qt::Key(key & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
    }
}

void RealWindows::typeText(QWidget& window, const QString& text)
{
    for (const QChar c : text) {
        QPointer<QWidget> target(keyTarget(window));
        if (!target)
            return;
        QTest::sendKeyEvent(QTest::Click, target.data(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    }
}

} // namespace testsupport
