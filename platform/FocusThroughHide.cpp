#include "platform/FocusThroughHide.h"

namespace rt {

bool FocusThroughHide::hiding(QWidget& control)
{
    // Hidden twice before it is shown: the first hiding knows where the focus was.
    if (!control.isVisible())
        return false;
    m_noted = false;
    m_owner = nullptr;
    m_taker = nullptr;
    // The window's focus widget, not the application's: in a window behind a modal dialog
    // the control keeps its claim to the focus for when the window is active again.
    QWidget* window = control.window();
    QWidget* focus = window->focusWidget();
    if (focus == nullptr || (focus != &control && !control.isAncestorOf(focus)))
        return false;
    m_owner = focus;
    m_window = window;
    return true;
}

void FocusThroughHide::hidden(QWidget& control)
{
    m_taker = control.window()->focusWidget();
    m_noted = true;
}

void FocusThroughHide::shown(QWidget& control)
{
    if (!m_noted)
        return;
    m_noted = false;
    const QPointer<QWidget> owner = m_owner;
    const QPointer<QWidget> taker = m_taker;
    m_owner = nullptr;
    m_taker = nullptr;
    if (!owner || !control.isVisible() || control.window() != m_window)
        return;
    QWidget* now = control.window()->focusWidget();
    // The focus never left (the window was not active), or the user or the program gave
    // it to another control while this one was hidden: nothing to take back.
    if (now == owner || now != taker)
        return;
    owner->setFocus(Qt::OtherFocusReason);
}

} // namespace rt
