#pragma once

#include <Qt>

namespace rt {

// The runtime's numbers in mouse events: buttons 1 left, 2 right, 4 middle; shift state
// 1 Shift, 2 Ctrl, 4 Alt (added together).
int mouseButtonCode(Qt::MouseButton button);
int shiftCode(Qt::KeyboardModifiers modifiers);

} // namespace rt
