#pragma once

#include "platform/AtomicFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace rt {

// Text files as the runtime wrote and read them: Windows-1253 bytes, lines ended by
// CR LF.

// Appends one line (CR LF added); creates the file when missing.
bool AppendLine(const QString& path, const QString& line);
// The lines as such a file holds them, each ended by CR LF.
QByteArray TextLines(const QStringList& lines);
// Writes the lines, each ended by CR LF, replacing the file in one step (ReplaceFile): a
// failed write leaves the file that was there as it was, and says what failed.
FileWriteResult WriteLines(const QString& path, const QStringList& lines);

// Line input: a line ends at CR LF or at a lone CR; a lone LF stays in the line.
class LineReader {
public:
    bool open(const QString& path);
    void setData(const QByteArray& bytes);
    bool atEnd() const { return m_pos >= m_data.size(); }
    QString readLine();

private:
    QByteArray m_data;
    qsizetype m_pos = 0;
};

// Comma-separated input: a field ends at a comma or a line end; blanks before a field
// are skipped; a field in double quotes may hold commas and line breaks.
class FieldReader {
public:
    bool open(const QString& path);
    void setData(const QByteArray& bytes);
    bool atEnd() const;
    QString readField();

private:
    void skipBlanks();
    QByteArray m_data;
    qsizetype m_pos = 0;
};

// A directory search for an ordinary file: wildcards (* ?) allowed in the name,
// directories and hidden files excluded, an empty path false.
bool FileExists(const QString& path);

// The path of a file in a folder found without regard to letter case; when there is
// none, the folder joined with the name as given.
QString findFileNoCase(const QString& folder, const QString& name);

} // namespace rt
