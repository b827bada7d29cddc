#include "platform/WindowServices.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace rt {

void ShowTopmostWithoutFocus(QWidget& window, const QRect& geometry)
{
    // Changing the flags of a shown window hides it again, so they are set first.
    if (!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window.setAttribute(Qt::WA_ShowWithoutActivating, true);
    window.setGeometry(geometry);
    window.show();
}

void SetTopmost(QWidget& window, bool topmost)
{
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    const Qt::WindowFlags flags = window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, topmost);
    if (!window.windowHandle()) {
        window.setWindowFlags(flags);
        return;
    }
    // The window system is told directly; the widget's own flags only follow.
    window.overrideWindowFlags(flags);
    window.windowHandle()->setFlags(flags);
}

void PlaceOver(QWidget& window, const QWidget* over)
{
    const bool overShown = over != nullptr && over->isVisible();
    QScreen* screen = overShown ? over->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    const QRect around = overShown ? over->frameGeometry() : available;
    // The frame the window will get, before it has one: that of the window it goes over.
    QMargins frame;
    if (overShown) {
        const QRect inner = over->geometry();
        frame = QMargins(inner.left() - around.left(), inner.top() - around.top(),
                         around.right() - inner.right(), around.bottom() - inner.bottom());
    }
    QRect place(QPoint(0, 0), window.size().grownBy(frame));
    place.moveCenter(around.center());
    place.moveRight(qMin(place.right(), available.right()));
    place.moveBottom(qMin(place.bottom(), available.bottom()));
    place.moveLeft(qMax(place.left(), available.left()));
    place.moveTop(qMax(place.top(), available.top()));
    // A window that exists on the window system but was never shown has no frame there
    // yet, and a move places its inside: the frame it gets goes round that place.
    QPoint at = place.topLeft();
    if (window.testAttribute(Qt::WA_WState_Created) && window.frameGeometry() == window.geometry())
        at += QPoint(frame.left(), frame.top());
    window.move(at);
}

void SetParent(QWidget& child, QWidget* newParent)
{
    // Qt hides a widget whenever its parent changes; the window system did not.
    const bool shown = !child.isHidden();
    const QPoint place = child.pos();
    // A window painted its own ground; as a child, a widget is see-through unless told.
    if (child.isWindow() && newParent)
        child.setAutoFillBackground(true);
    child.setParent(newParent, newParent ? Qt::Widget : Qt::Window);
    child.move(place);
    if (shown)
        child.show();
}

QWidget* OwnerWindow()
{
    QWidget* active = QApplication::activeWindow();
    return active != nullptr && active->isVisible() ? active : nullptr;
}

} // namespace rt
