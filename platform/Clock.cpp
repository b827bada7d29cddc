#include "platform/Clock.h"

#include <QThread>

namespace rt {

namespace {

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    void sleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }
};

Clock*& installed()
{
    static Clock* value = nullptr;
    return value;
}

} // namespace

Clock& clock()
{
    static SystemClock system;
    return installed() ? *installed() : system;
}

void setClock(Clock* replacement) { installed() = replacement; }

QDateTime Now() { return clock().now(); }
QDate Date() { return clock().now().date(); }
QTime Time() { return clock().now().time(); }

float Timer()
{
    const QTime t = clock().now().time();
    return static_cast<float>(t.msecsSinceStartOfDay()) / 1000.0f;
}

void sleepMs(int ms) { clock().sleepMs(ms); }

} // namespace rt
