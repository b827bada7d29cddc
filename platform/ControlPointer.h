#pragma once

class QCursor;
class QWidget;

namespace rt {

// A control's own mouse pointer (the runtime's MousePointer property of a control, as
// against the screen-wide one of Events.h): 0 the default, 1 arrow, 11 hourglass,
// 13 arrow and hourglass, 99 custom, which shows the control's MouseIcon. The value
// itself can be read back, so a window may use it as a mark (the main window's logo
// is clickable exactly while its pointer is 99).
namespace pointer {
constexpr int Default = 0;
constexpr int Arrow = 1;
constexpr int Hourglass = 11;
constexpr int ArrowHourglass = 13;
constexpr int Custom = 99;
} // namespace pointer

void SetControlPointer(QWidget& control, int pointer);
int ControlPointer(const QWidget& control);
// The cursor that pointer 99 shows; without one the control keeps the default cursor.
void SetControlMouseIcon(QWidget& control, const QCursor& icon);

} // namespace rt
