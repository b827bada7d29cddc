#pragma once

namespace app {

// The program's entry: sets up the application object and runs start-up.
int runProgram(int argc, char* argv[]);

} // namespace app
