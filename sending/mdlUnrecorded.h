#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <optional>

// Messages the service accepted (and charged) whose move to the sent box could not be
// written, because another program held the database past the batch's wait or the write
// failed. Each waits here with the service's number and the sent row the move would have
// written, until the next batch records it instead of sending it again.
//
// Kept in memory for the rest of the run and in the file ACCEPTED.DAT of the program
// folder, so that a program closed or killed before that batch still knows: the database
// cannot take it at that moment, and the program folder belongs to one running program
// only. The file is replaced whole at each change (temporary file, then rename) and goes
// once nothing waits. It is read at the first use in a run.
namespace mdlUnrecorded {

inline const QString FileName = QStringLiteral("ACCEPTED.DAT");

struct Message {
    qint64 id = 0;        // the out-box row's msg_id
    qint32 serverId = -1; // the service's number, the sent row's msg_SID
    // The sent row's columns as the move would have written them.
    QVariant date;
    QVariant time;
    QVariant schdate;
    QVariant schtime;
    QVariant title;
    QVariant text;
    QVariant originator;
    QVariant groups;
    QVariant phonelist;
    bool flash = false;

    // Whether an out-box row with these columns is the one that was sent: a row of
    // another database under the same id is not.
    bool sameRow(const QVariant& rowTitle, const QVariant& rowText, const QVariant& rowOriginator,
                 const QVariant& rowPhonelist) const;
};

// Keeps the message until it is recorded. False when only this run knows it: the file
// could not be written (the reason in `error`).
bool Keep(const Message& message, QString* error = nullptr);
// Every message waiting to be recorded, the oldest first.
QList<Message> Waiting();
// The one of out-box row `id`, when one waits.
std::optional<Message> Find(qint64 id);
// Recorded, or its row is no longer the one that was sent: it waits no more.
void Forget(qint64 id);

// Lets go of what this run knows, as at the end of the program: the next use reads the
// file again.
void Reset();

} // namespace mdlUnrecorded
