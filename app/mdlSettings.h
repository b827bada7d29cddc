#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QVariant>
#include <QtGlobal>

// The program's configuration: the scrambled settings file, the INI file, the logo file
// and the note written at every start. The values are shared by the whole program.
namespace mdlSettings {

// From the settings file, written back only by the connection-settings dialog.
inline QString Originator;
inline QString ServerURL;
inline quint16 ServerPort = 0; // any TCP port; 0 leaves the connection settings incomplete
inline QString UserName;
inline QString Password;
inline qint32 AvailableSMS = 0; // negative while the service has not reported it
inline quint8 EnableSecurity = 0;
inline quint8 AskOnStartUp = 0;
inline quint8 AskOnSend = 0;

// From the INI file.
inline quint8 ShowDisclaimer = 1;
inline quint8 MainWindowState = 0;

// From the logo file, never written.
inline QString LogoImage;
inline QString LogoURL;
inline QString LogoToolTip;

// The answer of the last password prompt: 0 not answered, 1 right, -1 wrong.
inline int LoginResult = 0;

inline const QString SettingsFileName = QStringLiteral("Vantrel.SET");
inline const QString IniFileName = QStringLiteral("Vantrel.INI");
inline const QString LogoFileName = QStringLiteral("Vantrel.LG");
inline const QString TestModeNoteName = QStringLiteral("IMPORTANT.TXT");
inline const QString SettingsHeader = QStringLiteral("Application Settings");
inline const QString SettingsKey = QStringLiteral("kvt.mrzq.jx");

// Writes the ten records; on failure shows the box for code -4 (logged) and returns
// false, leaving the file as it was. The values in memory stay either way.
bool SaveSettings();

// True when all ten records were read and converted; otherwise false after one error
// box (-1 missing, -2 foreign, -3 unreadable). Values read before a failure keep
// their new values.
bool LoadSettings();

// One record: a 4-byte little-endian length, then the encoded text form of the value.
// Both raise a run-time error on failure; a length that is negative or runs past the
// end of the file is a failure, not a read.
void WriteRecord(const QVariant& Value, QIODevice& file);
QString ReadRecord(QIODevice& file);

// A TCP port from its text form (or a number): 0 to 65535. What is no whole number
// raises error 13 "Type mismatch", a number outside that range error 6 "Overflow".
quint16 CPort(const QVariant& value);

// The scrambled form of a value (bytes ";" to "z") and back.
QByteArray EncodeValue(const QString& Value);
QString DecodeValue(const QByteArray& Stored);

// "key = value" lines of the INI and logo files: the trimmed text before the first
// "=" (empty without one), and after it (the integer -32000 without one).
QString LineKey(const QString& Line);
QVariant LineValue(const QString& Line);

void SetIniDefaults();
// Defaults first; a missing file leaves them, a bad value ends the reading silently.
void LoadIniSettings();
// Errors are ignored; a failed write leaves the old file whole.
void SaveIniSettings();
// The note on the test mode, in the current folder.
void WriteTestModeNote();
void LoadLogoSettings();

} // namespace mdlSettings
