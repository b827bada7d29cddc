#include "platform/AtomicFile.h"

#include "platform/StorageSteps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

FileWriteResult WriteFailure(int error) {
    if (error == ENOSPC || error == EFBIG || error == EDQUOT)
        return {false, 61, QStringLiteral("Disk full")};
    if (error == EIO)
        return {false, 57, QStringLiteral("Device I/O error")};
    return {false, 75, QStringLiteral("Path/File access error")};
}

namespace {

// The new bytes wait beside the target as ".NAME.xxxxxx", with a random base-36 suffix.
QString temporaryPrefix(const QFileInfo& target) {
    return QLatin1Char('.') + target.fileName() + QLatin1Char('.');
}

bool isTemporaryName(const QString& entry, const QString& prefix) {
    if (!entry.startsWith(prefix) || entry.size() == prefix.size() ||
        entry.size() > prefix.size() + 7)
        return false;
    for (qsizetype i = prefix.size(); i < entry.size(); ++i) {
        const QChar c = entry.at(i);
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) &&
            !(c >= QLatin1Char('a') && c <= QLatin1Char('z')))
            return false;
    }
    return true;
}

// A write killed before its rename leaves its temporary file behind; the next write of
// the same file takes it away. A writer holds a lock on its temporary file until the
// rename, so the file of a write still at work in another process is left alone.
void removeLeftovers(const QFileInfo& target) {
    const QString prefix = temporaryPrefix(target);
    const QDir folder(target.absolutePath());
    // No name filter: a file name may hold the filter's own wildcards.
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (!isTemporaryName(entry, prefix))
            continue;
        const QByteArray name = QFile::encodeName(folder.filePath(entry));
        const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK))
            ::unlink(name.constData());
        ::close(fd);
    }
}

// A name beside the target that no other file has; opened exclusively, so the process
// umask gives a new file its usual mode, and locked as a write at work.
int createBeside(const QFileInfo& target, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = target.absolutePath() + QLatin1Char('/') +
                                  temporaryPrefix(target) +
                                  QString::number(QRandomGenerator::global()->generate(), 36);
        name = QFile::encodeName(candidate);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Where the file system has no such locks the write goes on without one.
            const int locked = ::flock(fd, LOCK_EX);
            Q_UNUSED(locked);
            return fd;
        }
        if (errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The rename lives in the folder's own data: syncing the folder makes it survive a power
// loss. A file system that cannot sync a folder has nothing more to give.
void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

FileWriteResult ReplaceFile(const QString& path, const QByteArray& bytes) {
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists())
        target = info.canonicalFilePath();
    const QByteArray targetName = QFile::encodeName(target);

    struct stat old {};
    const bool existed = ::stat(targetName.constData(), &old) == 0;
    if (existed) {
        if (!S_ISREG(old.st_mode))
            return WriteFailure(EISDIR);
        // A read-only file stays read-only: renaming over it would bypass that.
        if (::access(targetName.constData(), W_OK) != 0)
            return WriteFailure(errno);
    }

    const QFileInfo targetInfo(target);
    removeLeftovers(targetInfo);

    QByteArray temporary;
    const int fd = createBeside(targetInfo, temporary);
    if (fd < 0)
        return WriteFailure(errno);
    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return WriteFailure(error);
    };
    if (existed) {
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return abandon(errno);
        // Only a privileged process may give the file back to its owner; others keep
        // their own files anyway.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            const int kept = ::fchown(fd, old.st_uid, old.st_gid);
            Q_UNUSED(kept);
        }
    }
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return abandon(errno);
    reachStorageStep(StorageStep::BeforeRename);
    // Renamed while still open and locked, so that no other writer takes the file for a
    // leftover before it has its name.
    if (::rename(temporary.constData(), targetName.constData()) != 0)
        return abandon(errno);
    reachStorageStep(StorageStep::AfterRename);
    syncFolder(QFile::encodeName(targetInfo.absolutePath()));
    // The bytes are synced already: a failing close loses nothing.
    ::close(fd);
    return {};
}

} // namespace rt
