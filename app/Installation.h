#pragma once

#include <QString>

// The files the installation puts into the program folder: the texts of the service
// operator (terms of use, notices, the publisher's line and addresses), a first
// settings file and the values of the registry hive that the About box reads.
namespace installation {

inline const QString TermsFile = QStringLiteral("TERMS.TXT");
inline const QString NoticeFile = QStringLiteral("NOTICE.TXT");
inline const QString CopyrightFile = QStringLiteral("COPYRIGHT.TXT");
// "WEB = address" and "MAIL = address" lines.
inline const QString ContactFile = QStringLiteral("CONTACT.TXT");

// One of the texts above as it is in the program folder (UTF-8, line ends read as LF,
// the last line end dropped); empty when the file is missing.
QString Text(const QString& name);
QString WebAddress();
QString MailAddress();

// Lays out what a program folder needs beyond the executable and the database: the
// texts from textsFolder that the folder lacks, a first settings file when it has none
// (empty account, port 0, credits unknown, every flag off: the first start asks for
// the connection settings), and the system information program in the hive. What is
// there already stays. False with a reason when something could not be written.
bool InstallFirstFiles(const QString& folder, const QString& textsFolder, QString* error);

} // namespace installation
