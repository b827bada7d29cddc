#pragma once

namespace rt {

// The moments of the program's durable writing, in the order a write passes them. A
// test that must know what a crash at one of them leaves on disk, or must act while a
// statement waits for a lock, sets the hook; it runs on the writing thread as each moment
// is reached. The program itself never sets it.
enum class StorageStep {
    TransactionBegin, // a transaction is about to begin: nothing of it written yet
    BeforeCommit,     // every change of the transaction made, COMMIT not yet run
    AfterCommit,      // COMMIT has returned successfully
    BeforeRename,     // a replaced file's new bytes are synced beside it, not yet renamed
    AfterRename,      // the new file has taken the old one's name, the folder not yet synced
    LockWait,         // a statement found the database locked and is about to wait for it
};

using StorageStepHook = void (*)(StorageStep step);

inline StorageStepHook storageStepHook = nullptr;

inline void reachStorageStep(StorageStep step)
{
    if (storageStepHook)
        storageStepHook(step);
}

} // namespace rt
