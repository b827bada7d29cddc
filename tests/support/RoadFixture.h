#pragma once

#include "tests/support/Account.h"

#include <QByteArray>
#include <QString>

namespace testsupport {

// What the end-to-end road of one message starts from and what it must end with: it is
// run in the test process and again in the real executable driven from outside, from the
// same data.
namespace road {

// Two groups, "Πελάτες" (1) and "Προμηθευτές" (2), and four members written in no
// particular order of surnames; Γεωργίου belongs to both.
bool writeAddressBook(const QString& databasePath);

// The road's account at the given service, with no password prompts.
Account account(const QString& host, quint16 port);

// The settings file and INI file of a user who has agreed to the terms, with the account
// at the given service (no password prompts). The settings in memory are wiped afterwards,
// so that only start-up can bring them back.
bool writeSettings(const QString& folder, const QString& host, quint16 port);

// What the user types, what the editor makes of it, and the extra number.
QString typedText();
QString editedText();
QString extraNumber();
// The recipients once "Πελάτες" is ticked and the extra number added, as the sent row
// stores them.
QString phoneList();

// The exact requests the service must receive: the message, then the credits.
QByteArray sendRequest(const QString& host);
QByteArray creditsRequest(const QString& host);

// The service's answers to them.
constexpr int messageId = 90210;
constexpr int creditsLeft = 1234;

} // namespace road
} // namespace testsupport
