#include "app/Main.h"

#include <QApplication>

namespace app {

int runProgram(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return 0;
}

} // namespace app
