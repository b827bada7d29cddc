#include "platform/FolderLock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace rt {

FolderLock::FolderLock(const QString& folder)
{
    // The folder itself is locked, not a file in it: nothing is created, and no file the
    // program reads or replaces (the database's own locks among them) is touched.
    const QByteArray name = QFile::encodeName(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_fd = fd;
        return;
    }
    m_inUse = errno == EWOULDBLOCK;
    ::close(fd);
}

FolderLock::~FolderLock()
{
    // Closing the only descriptor of the open folder lets go of its lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace rt
