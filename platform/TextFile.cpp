#include "platform/TextFile.h"

#include "platform/Cp1253.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace rt {

bool AppendLine(const QString& path, const QString& line)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = cp1253::fromUnicode(line) + "\r\n";
    return file.write(bytes) == bytes.size();
}

QByteArray TextLines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += cp1253::fromUnicode(line) + "\r\n";
    return bytes;
}

FileWriteResult WriteLines(const QString& path, const QStringList& lines)
{
    return ReplaceFile(path, TextLines(lines));
}

bool LineReader::open(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    setData(file.readAll());
    return true;
}

void LineReader::setData(const QByteArray& bytes)
{
    m_data = bytes;
    m_pos = 0;
}

QString LineReader::readLine()
{
    const qsizetype start = m_pos;
    qsizetype end = m_data.indexOf('\r', m_pos);
    if (end < 0) {
        end = m_data.size();
        m_pos = end;
    } else {
        m_pos = end + 1;
        if (m_pos < m_data.size() && m_data.at(m_pos) == '\n')
            ++m_pos;
    }
    return cp1253::toUnicode(m_data.mid(start, end - start));
}

bool FieldReader::open(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    setData(file.readAll());
    return true;
}

void FieldReader::setData(const QByteArray& bytes)
{
    m_data = bytes;
    m_pos = 0;
}

void FieldReader::skipBlanks()
{
    while (m_pos < m_data.size() && (m_data.at(m_pos) == ' ' || m_data.at(m_pos) == '\t'))
        ++m_pos;
}

bool FieldReader::atEnd() const
{
    // Trailing line breaks and blanks hold no further field.
    for (qsizetype i = m_pos; i < m_data.size(); ++i) {
        const char c = m_data.at(i);
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t')
            return false;
    }
    return true;
}

QString FieldReader::readField()
{
    // Empty lines between fields are not fields of their own.
    while (m_pos < m_data.size()) {
        skipBlanks();
        if (m_pos < m_data.size() && (m_data.at(m_pos) == '\r' || m_data.at(m_pos) == '\n'))
            ++m_pos;
        else
            break;
    }
    QByteArray field;
    if (m_pos < m_data.size() && m_data.at(m_pos) == '"') {
        ++m_pos;
        const qsizetype close = m_data.indexOf('"', m_pos);
        const qsizetype end = close < 0 ? m_data.size() : close;
        field = m_data.mid(m_pos, end - m_pos);
        m_pos = close < 0 ? m_data.size() : close + 1;
        // Whatever follows the closing quote up to the separator is dropped.
        while (m_pos < m_data.size() && m_data.at(m_pos) != ',' && m_data.at(m_pos) != '\r' &&
               m_data.at(m_pos) != '\n')
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_data.size() && m_data.at(m_pos) != ',' && m_data.at(m_pos) != '\r' &&
               m_data.at(m_pos) != '\n')
            ++m_pos;
        field = m_data.mid(start, m_pos - start);
        while (field.endsWith(' ') || field.endsWith('\t'))
            field.chop(1);
    }
    if (m_pos < m_data.size()) {
        const char sep = m_data.at(m_pos);
        ++m_pos;
        if (sep == '\r' && m_pos < m_data.size() && m_data.at(m_pos) == '\n')
            ++m_pos;
    }
    return cp1253::toUnicode(field);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.isEmpty())
        return false;
    QDir dir = info.dir();
    if (!dir.exists())
        return false;
    const bool wild = name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
    if (!wild) {
        const QFileInfo exact(dir.filePath(name));
        return exact.exists() && exact.isFile() && !exact.isHidden();
    }
    const QStringList matches =
        dir.entryList({name}, QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    return !matches.isEmpty();
}

QString findFileNoCase(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(name);
}

} // namespace rt
