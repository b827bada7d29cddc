#pragma once

#include <QRect>

class QWidget;

namespace rt {

// Shows a top-level window at the given place (pixels) above all others without
// taking the focus from the window that has it: a splash or a tool window that the
// user may ignore.
void ShowTopmostWithoutFocus(QWidget& window, const QRect& geometry);

// Puts a top-level window above all others or back among them, in place: a shown window
// stays shown where it is (changing the flags the usual way would hide it).
void SetTopmost(QWidget& window, bool topmost);

// Places a top-level window that is not yet shown centred over another window (over the
// screen when there is none or it is hidden), kept whole on that screen's available area
// where it fits: a window opened over the one that opened it.
void PlaceOver(QWidget& window, const QWidget* over);

// Makes the window a child of newParent, as the window system's SetParent did: a
// top-level window loses its frame and caption and lives inside the new parent from
// then on (docking); with no new parent it becomes a top-level window again. Its
// position is kept relative to whatever parent it has, and so is whether it is
// shown: a window that was not hidden stays on screen, one never shown stays hidden.
// A docked window keeps painting its own ground, so nothing behind it shows through.
void SetParent(QWidget& child, QWidget* newParent);

// The window that a message box or file dialog opened now belongs to: the active window
// while it is on screen, else none (the box then stands alone, in front of every window
// of the program). A hidden window, such as a prompt that hid itself before its box,
// owns nothing.
QWidget* OwnerWindow();

} // namespace rt
