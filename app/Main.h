#pragma once

#include "platform/KeyInput.h"

// The program's entry: the application object, then start-up, then the window events
// for as long as any window is loaded.
namespace app {

int runProgram(int argc, char* argv[]);

// Runs the window events for as long as any window is loaded, shown or hidden.
void RunWhileAnyWindowIsLoaded();

} // namespace app

namespace mdlDataBase {

// Set by a dialog that handled Enter or Escape, so that the key press that follows is
// dropped; cleared at start-up (the key layer keeps it, see rt::SwallowNextKey).
inline int& SwallowNextKey = rt::SwallowNextKey;

// Start-up: the settings, the splash, the database, the main window, the terms of use
// and the password; then, when the connection settings are incomplete, the offer to
// fill them in. Ends the program itself where start-up cannot go on.
void Main();

} // namespace mdlDataBase
