#pragma once

#include <functional>

namespace rt {

// The program-level stop: ends the process at once, from anywhere (a modal dialog
// included), running no close or unload handling and writing nothing.
[[noreturn]] void End();

// Tests observe the stop instead of dying: the handler must not return (it throws).
using EndHandler = std::function<void()>;
void setEndHandler(EndHandler handler);

// What a test handler throws; nothing in the program catches it.
struct ProgramEnded {};

} // namespace rt
