#pragma once

#include "platform/Err.h"

#include <QString>
#include <QVariant>

// Failure codes turned into the program's Greek message boxes, the error log and the
// two fixed questions of start-up and login.
namespace mdlDialogs {

// The settings codes -1, -2, -3 (settings file missing, foreign, unreadable), -4
// (settings not saved); any other code (callers pass 0) shows the current run-time
// error. Reads rt::Err(), so it is called from an error handler. Text is not read.
int ShowErrorMessage(int Code, const QString& Text = QString());

// Appends one line to the program folder's ERROR.LOG.
void WriteErrorLog(const QVariant& Number, const QVariant& Source, const QString& Description);

// A message the service accepted (its number ServerId) whose move to the sent box could
// not be written (the failure's Number and Description): the box says that it went, that
// it waits in the out-box marked as failed and is recorded, not sent, by the next send,
// and what failed; the same goes to the error log with the failure's number and Source.
// Kept false: only this run knows it (its file could not be written), and the box says
// what closing the program first would mean.
int ShowUnrecordedMessage(const QString& Title, qint32 ServerId, int Number,
                          const QString& Description, const QVariant& Source, bool Kept = true);

// The program is already running from the program folder Folder: the box that says so.
int ShowFolderInUse(const QString& Folder);

// Kind 1: the incomplete-settings question (Yes/No); kind 2: the wrong-password box.
int AskUser(int Kind, const QString& Text = QString());

// The log line as written (without its CR LF), for the given moment.
QString ErrorLogLine(const QDateTime& when, const QVariant& Number, const QVariant& Source,
                     const QString& Description);

// The box for an error no handler trapped: the code-0 box, logged.
void ReportUntrappedError();

// Runs a window's command; a failure reaches the user as the code-0 box (logged) and
// abandons the command, and the window stays as the failure left it.
template <class Command> void ReportFailure(Command command)
{
    try {
        command();
    } catch (const rt::RuntimeError& error) {
        rt::reportUntrapped(error);
    }
}

} // namespace mdlDialogs
