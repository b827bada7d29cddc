#include "app/mdlSettings.h"

#include "app/cipher.h"
#include "app/mdlDialogs.h"
#include "platform/App.h"
#include "platform/AtomicFile.h"
#include "platform/Convert.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/TextFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

namespace mdlSettings {

namespace {

// The runtime's own numbers and words for the failures these files can meet.
[[noreturn]] void fileAccessError() {
    rt::Raise(75, QStringLiteral("Path/File access error"));
}
[[noreturn]] void pastEndError() {
    rt::Raise(62, QStringLiteral("Input past end of file"));
}

// The runtime's Trim: blanks only, tabs stay.
QString trimBlanks(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

QString textForm(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    // Integers of every width as decimals, a Byte included (whose own text form in a
    // variant would be a character).
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    return ok ? QString::number(number) : value.toString();
}

void replaceFile(const QString& path, const QByteArray& bytes) {
    const rt::FileWriteResult written = rt::ReplaceFile(path, bytes);
    if (!written)
        rt::Raise(written.number, written.description);
}

} // namespace

quint16 CPort(const QVariant& value) {
    const qint32 port = rt::CLng(value);
    if (port < 0 || port > 65535)
        rt::Raise(6, QStringLiteral("Overflow"));
    return static_cast<quint16>(port);
}

QByteArray EncodeValue(const QString& Value) {
    cipher c;
    c.setKeyString(SettingsKey);
    c.setText(rt::cp1253::fromUnicode(Value));
    c.DoXor();
    c.Stretch();
    return c.Text();
}

QString DecodeValue(const QByteArray& Stored) {
    cipher c;
    c.setKeyString(SettingsKey);
    c.setText(Stored);
    c.Shrink();
    c.DoXor();
    return rt::cp1253::toUnicode(c.Text());
}

void WriteRecord(const QVariant& Value, QIODevice& file) {
    const QByteArray encoded = EncodeValue(textForm(Value));
    char length[4];
    qToLittleEndian<qint32>(static_cast<qint32>(encoded.size()), length);
    if (file.write(length, 4) != 4 || file.write(encoded) != encoded.size())
        rt::Raise(61, QStringLiteral("Disk full"));
}

QString ReadRecord(QIODevice& file) {
    const QByteArray lengthBytes = file.read(4);
    if (lengthBytes.size() != 4)
        pastEndError();
    const qint32 length = qFromLittleEndian<qint32>(lengthBytes.constData());
    if (length < 0)
        rt::Raise(5, QStringLiteral("Invalid procedure call or argument"));
    const qint64 remaining = file.isSequential() ? file.bytesAvailable() : file.size() - file.pos();
    if (length > remaining)
        pastEndError();
    const QByteArray stored = file.read(length);
    if (stored.size() != length)
        pastEndError();
    return DecodeValue(stored);
}

bool SaveSettings() {
    try {
        QBuffer records;
        records.open(QIODevice::WriteOnly);
        WriteRecord(SettingsHeader, records);
        WriteRecord(Originator, records);
        WriteRecord(ServerURL, records);
        WriteRecord(ServerPort, records);
        WriteRecord(UserName, records);
        WriteRecord(Password, records);
        WriteRecord(AvailableSMS, records);
        WriteRecord(EnableSecurity, records);
        WriteRecord(AskOnStartUp, records);
        WriteRecord(AskOnSend, records);
        QByteArray bytes = records.data();

        const QString path = rt::App::file(SettingsFileName);
        const QFileInfo info(path);
        if (info.exists()) {
            if (!info.isFile())
                fileAccessError();
            // The file used to be rewritten in place, never shortened: a longer earlier
            // file keeps its bytes beyond the new records, and files stay compatible.
            QFile old(path);
            if (!old.open(QIODevice::ReadOnly))
                fileAccessError();
            if (old.size() > bytes.size()) {
                if (!old.seek(bytes.size()))
                    fileAccessError();
                const QByteArray tail = old.readAll();
                if (tail.size() != old.size() - bytes.size())
                    fileAccessError();
                bytes += tail;
            }
        }
        replaceFile(path, bytes);
        return true;
    } catch (const rt::RuntimeError&) {
        mdlDialogs::ShowErrorMessage(-4);
        return false;
    }
}

bool LoadSettings() {
    int stage = -1;
    try {
        const QString path = rt::App::file(SettingsFileName);
        if (!QFileInfo::exists(path))
            rt::Raise(53, QStringLiteral("File not found"));
        QFile file(path);
        if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
            fileAccessError();

        stage = -2;
        if (ReadRecord(file) != SettingsHeader) {
            mdlDialogs::ShowErrorMessage(-2);
            return false;
        }

        stage = -3;
        Originator = ReadRecord(file);
        ServerURL = ReadRecord(file);
        ServerPort = CPort(ReadRecord(file));
        UserName = ReadRecord(file);
        Password = ReadRecord(file);
        AvailableSMS = rt::CLng(ReadRecord(file));
        EnableSecurity = rt::CByte(ReadRecord(file));
        AskOnStartUp = rt::CByte(ReadRecord(file));
        AskOnSend = rt::CByte(ReadRecord(file));
        return true;
    } catch (const rt::RuntimeError&) {
        mdlDialogs::ShowErrorMessage(stage);
        return false;
    }
}

QString LineKey(const QString& Line) {
    const qsizetype equals = Line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : trimBlanks(Line.left(equals));
}

QVariant LineValue(const QString& Line) {
    const qsizetype equals = Line.indexOf(QLatin1Char('='));
    return equals < 0 ? QVariant(-32000) : QVariant(trimBlanks(Line.mid(equals + 1)));
}

void SetIniDefaults() {
    ShowDisclaimer = 1;
    MainWindowState = 0;
}

void LoadIniSettings() {
    SetIniDefaults();
    rt::LineReader reader;
    const QString path = rt::App::file(IniFileName);
    if (QFileInfo(path).isDir() || !reader.open(path))
        return;
    try {
        while (!reader.atEnd()) {
            const QString line = reader.readLine();
            const QString key = LineKey(line);
            if (key == QLatin1String("Disclaimer"))
                ShowDisclaimer = rt::CByte(LineValue(line));
            else if (key == QLatin1String("WindowState"))
                MainWindowState = rt::CByte(LineValue(line));
        }
    } catch (const rt::RuntimeError&) {
        // A bad value ends the reading; what was read before it stays.
    }
}

void SaveIniSettings() {
    try {
        replaceFile(
            rt::App::file(IniFileName),
            rt::TextLines({QStringLiteral("Disclaimer = ") + QString::number(ShowDisclaimer),
                       QStringLiteral("WindowState = ") + QString::number(MainWindowState)}));
    } catch (const rt::RuntimeError&) {
        // The display settings are not worth a message; the old file stays as it was.
    }
}

void WriteTestModeNote() {
    rt::WriteLines(
        QDir::current().filePath(TestModeNoteName),
        {QStringLiteral("In order to enable the Test Mode of sending messages, you must create"),
         QStringLiteral("a file named TESTMODE.TST in the application's folder.")});
}

void LoadLogoSettings() {
    LogoImage.clear();
    LogoURL.clear();
    LogoToolTip.clear();
    const QString path = rt::App::file(LogoFileName);
    if (!rt::FileExists(path))
        return;
    rt::LineReader reader;
    if (!reader.open(path))
        return;
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        const QString key = LineKey(line).toUpper();
        if (key == QLatin1String("LOGO IMAGE"))
            LogoImage = LineValue(line).toString();
        else if (key == QLatin1String("URL"))
            LogoURL = LineValue(line).toString();
        else if (key == QLatin1String("TOOLTIP"))
            LogoToolTip = LineValue(line).toString();
    }
}

} // namespace mdlSettings
