#include "platform/LockWait.h"

#include <QApplication>
#include <QBackingStore>
#include <QCursor>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace rt {

namespace {

// How often the windows' pictures are put on the screen again: an uncovered part of a
// window is whole again within this time.
constexpr int reshowMs = 100;
// The longest sleep between two looks at what needs painting.
constexpr int paintStepMs = 50;

struct State {
    const void* waiting = nullptr;
    QElapsedTimer sinceReshown;
};

State& state()
{
    static State value;
    return value;
}

QApplication* widgetsApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

// A window shown just before the wait is not painted by the toolkit: it paints a window only
// once the window system has said that the window is on the screen (its first expose),
// and that news waits in the event queue with everything else. Such a window is painted
// here whole into its store, every time the pictures are put on the screen again, so
// that it shows what it holds now; the screen takes the picture once the window is
// mapped, and until then the window system drops it.
void paintNotYetExposed(QWidget& top, QBackingStore& store)
{
    const QRect whole(QPoint(), top.size());
    if (store.size() != whole.size())
        store.resize(whole.size());
    store.beginPaint(whole);
    top.render(store.paintDevice(), QPoint(), whole,
               QWidget::DrawWindowBackground | QWidget::DrawChildren);
    store.endPaint();
}

void paintWindows()
{
    if (widgetsApplication() == nullptr)
        return;
    // A widget's update() marks it dirty and posts one UpdateRequest to its window; that
    // event paints the dirty widgets into the window's backing store and shows them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);

    State& s = state();
    if (s.sinceReshown.isValid() && s.sinceReshown.elapsed() < reshowMs)
        return;
    s.sinceReshown.start();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        QWindow* window = top->windowHandle();
        if (!top->isVisible() || window == nullptr || window->handle() == nullptr ||
            top->testAttribute(Qt::WA_DontShowOnScreen) ||
            window->windowStates().testFlag(Qt::WindowMinimized))
            continue;
        QBackingStore* store = top->backingStore();
        if (store == nullptr)
            continue;
        if (!top->testAttribute(Qt::WA_Mapped)) {
            paintNotYetExposed(*top, *store);
        } else if (!window->isExposed()) {
            continue;
        } else {
            // A window painted at most once per gap (PaintPacing) holds back a change
            // that came within the gap until its timer runs, and no timer runs here:
            // asked again now, long after the gap, it paints what is still dirty.
            QEvent request(QEvent::UpdateRequest);
            QCoreApplication::sendEvent(top, &request);
        }
        store->flush(QRegion(QRect(QPoint(), top->size())), window);
    }
}

} // namespace

void LockWait::begin(const void* who)
{
    State& s = state();
    if (s.waiting != nullptr || who == nullptr)
        return;
    s.waiting = who;
    s.sinceReshown.start();
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void LockWait::statementReturned(const void* who)
{
    State& s = state();
    if (s.waiting == nullptr || s.waiting != who)
        return;
    s.waiting = nullptr;
    // Nothing but painting ran since begin(): the pointer on top is the one it put there.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
}

bool LockWait::active()
{
    return state().waiting != nullptr;
}

void LockWait::paintFor(int ms)
{
    const QDeadlineTimer until(std::max(ms, 0), Qt::PreciseTimer);
    for (;;) {
        paintWindows();
        const qint64 left = until.remainingTime();
        if (left <= 0)
            return;
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, paintStepMs)));
    }
}

void LockWait::pause(int ms)
{
    static const char token = 0;
    begin(&token);
    paintFor(ms);
    statementReturned(&token);
}

} // namespace rt
