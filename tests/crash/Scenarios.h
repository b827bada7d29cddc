#pragma once

#include "platform/StorageSteps.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// The program's work that writes to disk, as the crash tests run it in a child process:
//   "send"      the send batch of every out-box message, against the loopback service
//   "send-locked" the same, with another program holding the database's write lock from
//               the moment the service accepts the first message (the newest, "third")
//   "organiser" the group organiser's save pass (renamed, deleted and new groups and members)
//   "members"   the member list's delete of two selected members
//   "prefix"    the mobile-prefix rewrite of every number beginning 694
//   "settings"  the connection settings' save
namespace crash {

// The out-box messages of "send", by their text, in the order of their ids; the batch
// sends the newest first.
inline const QStringList outboxTexts = {QStringLiteral("first"), QStringLiteral("second"),
                                        QStringLiteral("third")};

// Lays the scenario's starting data into the program folder that is rt::App::path(),
// whose database is open as the main database.
bool prepare(const QString& scenario);

// Does the scenario's work in this process (a QApplication, the program folder and the
// main database set up); false when the work itself reports a failure. "send" talks to
// the service at 127.0.0.1 on `servicePort`.
bool run(const QString& scenario, quint16 servicePort);

// The settings values the "settings" scenario starts from and saves.
void setOldSettings();
void setNewSettings();

// The steps by the names the helper takes ("begin", "before-commit", "after-commit",
// "before-rename", "after-rename").
std::optional<rt::StorageStep> stepNamed(const QString& name);

} // namespace crash
