#pragma once

namespace rt {

// Lets pending window events run, as the runtime's DoEvents did.
void DoEvents();

// The screen-wide mouse pointer: 0 default, 11 hourglass, 13 arrow and hourglass.
void SetMousePointer(int pointer);
int MousePointer();

} // namespace rt
