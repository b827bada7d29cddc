#include "platform/WindowServices.h"

#include <QApplication>
#include <QWidget>

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
