#include "platform/WindowServices.h"

#include <QWidget>

namespace rt {

void ShowTopmostWithoutFocus(QWidget& window, const QRect& geometry) {
    // Changing the flags of a shown window hides it again, so they are set first.
    if (!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window.setAttribute(Qt::WA_ShowWithoutActivating, true);
    window.setGeometry(geometry);
    window.show();
}

} // namespace rt
