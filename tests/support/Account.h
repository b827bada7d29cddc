#pragma once

#include <QString>
#include <QtGlobal>

namespace testsupport {

// The nine values of the settings file as a test sets them, by name:
//   Account{.originator = "Vantrel", .host = "127.0.0.1", .port = 80}.apply();
struct Account {
    QString originator;
    QString host;
    quint16 port = 0;
    QString user;
    QString password;
    qint32 credits = -1;
    quint8 security = 0; // EnableSecurity
    quint8 startup = 0;  // AskOnStartUp
    quint8 send = 0;     // AskOnSend

    // Into the settings values in memory (mdlSettings), every one of the nine.
    void apply() const;
};

} // namespace testsupport
