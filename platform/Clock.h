#pragma once

#include <QDateTime>

namespace rt {

// Everything that reads the time reads it here, so tests can pin it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Blocks for the given time (the test clock advances instead of waiting).
    virtual void sleepMs(int ms) = 0;
};

// The clock in use: the system clock unless a test installed another.
Clock& clock();
void setClock(Clock* replacement); // nullptr restores the system clock

// A pinned clock that moves only when told to or when code sleeps on it.
class TestClock : public Clock {
public:
    explicit TestClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void sleepMs(int ms) override { m_now = m_now.addMSecs(ms); }
    void set(const QDateTime& value) { m_now = value; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

QDateTime Now();
QDate Date();
QTime Time();
// Seconds since midnight, as the runtime's single-precision timer.
float Timer();
void sleepMs(int ms);

} // namespace rt
