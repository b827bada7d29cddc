#pragma once

#include <QByteArray>
#include <QString>

namespace rt {

// The outcome of a file write, with the runtime's error number and words on failure
// (61 "Disk full", 57 "Device I/O error", 75 "Path/File access error").
struct FileWriteResult {
    bool ok = true;
    int number = 0;
    QString description;
    explicit operator bool() const { return ok; }
};

// The failed write's outcome for the system's error number (errno): a full disk or
// file-size limit, a device's read or write failure, and any other failure to open,
// write or replace the file, in the runtime's numbers and words.
FileWriteResult WriteFailure(int error);

// Replaces a file's contents in one step: the bytes go to a new file beside it
// (".NAME.xxxxxx"), which is synced and then renamed over it, and the folder is synced so
// that the rename survives a power loss. A reader sees the old file or the new one, and a
// failure at any point leaves the old file as it was; a temporary file that a killed
// write left behind is removed by the next write of the same file. The old file's
// permission bits (and owner, where allowed) are kept; a symbolic link is written
// through. A file that is not an ordinary file, or that this process may not write, is
// not replaced.
FileWriteResult ReplaceFile(const QString& path, const QByteArray& bytes);

} // namespace rt
