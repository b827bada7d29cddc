#pragma once

#include "platform/Database.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>

namespace testsupport {

// Another program's brief hold on the database file: a second connection takes a lock on
// it at once and keeps it until a statement of this process has been waiting for it
// for `heldMs`, then lets go from inside that wait (the database layer's lock-wait step),
// so the statement is known to have waited. A negative `heldMs` holds it until release()
// or the end of the object, past any wait. One at a time.
class MomentaryLock {
public:
    enum class Hold {
        Write, // another writer: no other write can begin
        Read,  // a reader such as a backup copying the file: no write can be committed
    };

    MomentaryLock(const QString& databasePath, int heldMs, Hold hold = Hold::Write);
    ~MomentaryLock();
    MomentaryLock(const MomentaryLock&) = delete;
    MomentaryLock& operator=(const MomentaryLock&) = delete;

    bool isHeld() const { return m_held; }
    // How often a statement of this process found the lock taken and waited.
    int waits() const { return m_waits; }
    // Lets go now, if it still holds the lock.
    void release();
    // Runs at each try of a statement that waits for the lock, before the lock may be let go.
    void duringWait(std::function<void()> action) { m_duringWait = std::move(action); }
    // Called from the lock-wait step.
    void noteWait();

private:
    rt::Database m_other;
    QElapsedTimer m_since;
    int m_heldMs;
    int m_waits = 0;
    bool m_held = false;
    std::function<void()> m_duringWait;
};

} // namespace testsupport
