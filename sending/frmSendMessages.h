#pragma once

#include "platform/Form.h"

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QtGlobal>

class QLabel;
class QPushButton;
class TCPSender;

namespace rt {
class ProgressBar;
class RuntimeError;
} // namespace rt

// The progress window through which every exchange with the service runs: the out-box
// batch, the credits request and the address import. Modeless; it unloads itself at
// the end of each job, and while it is loaded the main window will not close.
//
// One job runs at a time. A job asked for while another is at work (its exchange is
// waiting, or its error box is up) is queued and starts once the running one has ended,
// never inside its wait.
//
// The docked lists are reached by their names: an out-box list "frmMessage_OutBox"
// offers a rt::ListView child "OutList" (items keyed "MSG_" & msg_id, icon 2 and tag "2"
// for a failed row) and a slot or invokable SetControlState(); a sent list
// "frmMessage_Sended" offers RefreshSendList().
class frmSendMessages : public rt::Form {
    Q_OBJECT

public:
    frmSendMessages();
    ~frmSendMessages() override;

    // A negative id sends every out-box row, newest first; otherwise the row with that id.
    void SendOutBoxMessages(qint32 MessageID = -1);
    // Asks for the credits left and shows them on the main status bar.
    void GetCredits();
    // Fetches the customer's groups kept by the service and opens the import viewer
    // (frmWebImport) on them.
    void InportFromServer();

    // One exchange ("send.php", "credits.php", "addressget.php"): the status line, the
    // request with the account of the settings, the reply's result code. RequestLeft, when
    // given, tells whether any of the request was written to the connection.
    qint32 PostToServer(const QString& Script, const QString& Fields, bool* RequestLeft = nullptr);

    void cmdCancel_Click();
    void cmdHide_Click();
    void cmdClose_Click();
    void TCPSender_ConnectionStateChanged(int Status);
    void TCPSender_DataArrival(const QString& Data);

    // How long in all the batch tries to record a message the service accepted while
    // another program keeps the database locked; about a minute unless set.
    static constexpr int acceptedMoveLimitMs = 60000;
    void setAcceptedMoveLimitMs(int ms) { m_acceptedMoveLimitMs = ms; }

    // The status icons (1 sending, 2 credits, 4 import and stopping) and the connection
    // icons of the status bar (1 active or connecting, 2 inactive, 3 error).
    static QPixmap Images32x32(int index);
    static QIcon Images16x16(int index);

    QLabel* Image1;
    QLabel* lblStatus;
    rt::ProgressBar* PrgBar;
    QPushButton* cmdCancel;
    QPushButton* cmdHide;
    QPushButton* cmdClose;
    TCPSender* Sender; // objectName "TCPSender"

    bool CancelRequested = false;
    QString ReplyText;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    struct Job {
        enum Kind { Send, Credits, Import } kind = Send;
        qint32 messageId = -1;
    };

    static QList<Job>& pendingJobs();
    static void startJob(frmSendMessages& window, const Job& job);
    void runJob(const Job& job);
    void runSend(qint32 messageId);
    // Records the messages accepted in an earlier batch that wait to be recorded; false
    // when one still cannot be (the user has been told, the window is unloaded).
    bool recordAcceptedEarlier();
    static QString waitingStatus();
    void runCredits();
    void runImport();
    void RequestCredits();
    void ShowStatus(const QString& Text, int Icon);
    void failed(const rt::RuntimeError& error);
    bool stopped() const;
    void showConnectionState(int state);

    int m_acceptedMoveLimitMs = acceptedMoveLimitMs;
};
