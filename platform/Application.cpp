#include "platform/Application.h"

#include "platform/Err.h"

namespace rt {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const RuntimeError& error) {
        reportUntrapped(error);
    }
    return false;
}

} // namespace rt
