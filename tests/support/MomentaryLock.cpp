#include "tests/support/MomentaryLock.h"

#include "platform/StorageSteps.h"

namespace testsupport {

namespace {

MomentaryLock* g_lock = nullptr;

void lockStep(rt::StorageStep step)
{
    if (step == rt::StorageStep::LockWait && g_lock)
        g_lock->noteWait();
}

} // namespace

MomentaryLock::MomentaryLock(const QString& databasePath, int heldMs, Hold hold) : m_heldMs(heldMs)
{
    m_held = m_other.open(databasePath).ok;
    if (hold == Hold::Write) {
        m_held = m_held && m_other.execute({QStringLiteral("BEGIN IMMEDIATE"), {}}).ok;
    } else {
        // A read inside an open transaction keeps its shared lock until the transaction ends.
        m_held = m_held && m_other.execute({QStringLiteral("BEGIN"), {}}).ok &&
                 m_other
                     .openRecordset({QStringLiteral("SELECT count(*) FROM sqlite_master"), {}},
                                    rt::RecordsetType::Snapshot)
                     .isOpen();
    }
    m_since.start();
    g_lock = this;
    rt::storageStepHook = lockStep;
}

MomentaryLock::~MomentaryLock()
{
    rt::storageStepHook = nullptr;
    g_lock = nullptr;
    release();
}

void MomentaryLock::noteWait()
{
    ++m_waits;
    if (m_duringWait)
        m_duringWait();
    if (m_held && m_heldMs >= 0 && m_since.elapsed() >= m_heldMs)
        release();
}

void MomentaryLock::release()
{
    if (!m_held)
        return;
    m_held = false;
    m_other.execute({QStringLiteral("ROLLBACK"), {}});
}

} // namespace testsupport
