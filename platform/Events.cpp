#include "platform/Events.h"

#include "platform/Form.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace rt {

namespace {
int& current()
{
    static int value = 0;
    return value;
}
} // namespace

void DoEvents()
{
    const EventWait wait;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void SetMousePointer(int pointer)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        if (pointer == 11)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else if (pointer == 13)
            QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    }
    current() = pointer;
}

int MousePointer() { return current(); }

} // namespace rt
