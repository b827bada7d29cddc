#pragma once

#include <QString>

namespace rt {

// An exclusive hold on a folder for as long as the object lives, so that a second program
// started on the same folder can tell that it is in use. The system lets go of it when the
// process ends in any way, a kill included, so nothing stays stuck; programs this one
// starts do not inherit it. Taken at once or not at all: it never waits.
class FolderLock {
public:
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool isHeld() const { return m_fd >= 0; }
    // Another holder has it. A folder that cannot be locked at all (missing, or on a file
    // system without such locks) is neither held nor in use.
    bool inUse() const { return m_inUse; }

private:
    int m_fd = -1;
    bool m_inUse = false;
};

} // namespace rt
