#pragma once

#include <QPointer>
#include <QWidget>

namespace rt {

// Lists are hidden while they are rebuilt, so that tens of thousands of items cost one
// update. Qt hands the keyboard focus of a control that is hidden to the next control in
// tab order (in a docked window, the title bar's close button) and never gives it back,
// so the user's keys would land elsewhere after every rebuild. A control that routes its
// setVisible through here takes the focus back when it is shown again, as long as nobody
// chose another control meanwhile.
class FocusThroughHide {
public:
    // `base` is the control's own base-class setVisible(visible).
    template <class Base> void setVisible(QWidget& control, bool visible, Base&& base)
    {
        if (visible) {
            base();
            shown(control);
            return;
        }
        const bool held = hiding(control);
        base();
        if (held)
            hidden(control);
    }

private:
    bool hiding(QWidget& control);
    void hidden(QWidget& control);
    void shown(QWidget& control);

    // The widget that had the window's focus (the control or one inside it), the window,
    // and the widget that the hiding handed the focus to.
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_taker;
    bool m_noted = false;
};

} // namespace rt
