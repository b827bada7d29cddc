#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
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

// A name beside the target that no other file has; opened exclusively, so the process
// umask gives a new file its usual mode.
int createBeside(const QString& target, QByteArray& name) {
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = info.absolutePath() + QLatin1String("/.") + info.fileName() +
                                  QLatin1Char('.') +
                                  QString::number(QRandomGenerator::global()->generate(), 36);
        name = QFile::encodeName(candidate);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
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

    QByteArray temporary;
    const int fd = createBeside(target, temporary);
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
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return WriteFailure(error);
    }
    if (::rename(temporary.constData(), targetName.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return WriteFailure(error);
    }
    return {};
}

} // namespace rt
