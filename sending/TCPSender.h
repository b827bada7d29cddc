#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

namespace rt {
class Winsock;
}

// The connection control of the sending window: one request and its reply per call,
// with a limit on every wait. While it waits, the window's events keep running (Cancel
// calls CloseConnection from inside a wait); it never spins.
class TCPSender : public QWidget {
    Q_OBJECT
public:
    static constexpr int DefaultConnectLimitMs = 10000;
    // Counted from the end of the send.
    static constexpr int DefaultReplyLimitMs = 30000;
    static constexpr int DefaultSendDataLimitMs = 10000;
    // A reply is read up to this many bytes.
    static constexpr int MaxReplyBytes = 64 * 1024;

    explicit TCPSender(QWidget* parent = nullptr);
    ~TCPSender() override;

    QString HostIP() const;
    QString HostName() const;
    int HostPort() const;
    void setHostPort(int port);
    QString RemoteIP() const;
    int RemotePort() const;
    void setRemotePort(int port);
    QString RemoteHost() const;
    void setRemoteHost(const QString& host);
    int ConnectionState() const;
    bool Busy() const;

    // Starts the 500 ms state poll; it runs from then on.
    void InitializeConnection();
    bool OpenConnection();
    void CloseConnection();
    // Request and reply; the reply wait is limited to the send-data limit.
    bool SendData(const QString& data);
    // Request and reply: opens the connection, sends, reads the reply until it holds the
    // closing result tag, the server closes, MaxReplyBytes have come or the reply limit
    // passes (ConnectionTimeOut), raises DataArrival once with what came, and closes.
    // False when no text came.
    bool SendDataAndWait(const QString& data);
    // Whether the last exchange wrote any of its request to the connection; until then
    // the server cannot have taken it.
    bool RequestLeft() const { return m_requestLeft; }

    int connectLimitMs() const { return m_connectLimitMs; }
    void setConnectLimitMs(int ms) { m_connectLimitMs = ms; }
    int replyLimitMs() const { return m_replyLimitMs; }
    void setReplyLimitMs(int ms) { m_replyLimitMs = ms; }
    int sendDataLimitMs() const { return m_sendDataLimitMs; }
    void setSendDataLimitMs(int ms) { m_sendDataLimitMs = ms; }

signals:
    void ConnectionStateChanged(int Status);
    void ConnectionError(int Error, const QString& Description);
    void ConnectionTimeOut(const QString& RemoteIP);
    void DataArrival(const QString& Data);
    // A saved property was written (its name).
    void PropertyChanged(const QString& name);

private:
    enum class WaitEnd { Done, TimeLimit, Destroyed };
    enum class Opened { Connected, NotConnected, Destroyed };

    Opened open();
    bool exchange(const QString& data, int limitMs);
    WaitEnd waitUntil(const std::function<bool()>& done, int limitMs);
    void poll();
    void takeData();

    rt::Winsock* Winsock;
    QTimer* ConnectionTimer;
    QLabel* ControlImage;
    QString ReceiveBuffer;
    int LastState = -1;
    bool m_requestLeft = false;

    int m_connectLimitMs = DefaultConnectLimitMs;
    int m_replyLimitMs = DefaultReplyLimitMs;
    int m_sendDataLimitMs = DefaultSendDataLimitMs;
};
