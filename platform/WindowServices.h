#pragma once

#include <QRect>

class QWidget;

namespace rt {

// Shows a top-level window at the given place (pixels) above all others without
// taking the focus from the window that has it: a splash or a tool window that the
// user may ignore.
void ShowTopmostWithoutFocus(QWidget& window, const QRect& geometry);

} // namespace rt
