#pragma once

#include <QNetworkProxy>
#include <QObject>
#include <QString>
#include <QTcpSocket>

namespace rt {

// A TCP client socket that reports itself through the old socket control's state
// numbers and notifications. Text goes out and comes in as Windows-1253 bytes.
class Winsock : public QObject {
    Q_OBJECT
public:
    enum StateNumber {
        Closed = 0,
        Open = 1,
        Listening = 2,
        ConnectionPending = 3,
        ResolvingHost = 4,
        HostResolved = 5,
        Connecting = 6,
        Connected = 7,
        PeerClosing = 8, // the peer has closed; the socket stays so until Close
        Failed = 9,      // a failure; stays so until Close or the next Connect
    };

    explicit Winsock(QObject* parent = nullptr);
    ~Winsock() override;

    QString RemoteHost() const { return m_remoteHost; }
    void setRemoteHost(const QString& host) { m_remoteHost = host; }
    int RemotePort() const { return m_remotePort; }
    void setRemotePort(int port) { m_remotePort = port; }
    // The local port: the bound port while a connection exists, otherwise the port that
    // the next Connect binds to (0 lets the system choose).
    int LocalPort() const;
    void setLocalPort(int port) { m_localPort = port; }

    // Connects through this proxy instead of the application's (none). Tests hold an
    // attempt open with a proxy that never answers: nothing on this machine leaves a
    // direct loopback connection pending.
    void setProxy(const QNetworkProxy& proxy) { m_socket.setProxy(proxy); }

    // The local address of the connection, or of this machine when there is none.
    QString LocalIP() const;
    QString LocalHostName() const;
    // The peer's address while connected, otherwise empty.
    QString RemoteHostIP() const;

    int State() const;

    // Starts connecting to RemoteHost and RemotePort; the outcome arrives as StateChanged
    // (7, or 9 with Error). False when the socket is not closed or the port is invalid;
    // ErrorNumber and ErrorDescription then say why.
    bool Connect();
    // Drops the connection at once, whatever its state; the state reads 0 on return.
    void Close();
    // Queues the text as Windows-1253 bytes; false when not connected.
    bool SendData(const QString& text);
    // Everything received and not yet taken, decoded from Windows-1253.
    QString GetData();
    qint64 BytesReceived() const { return m_socket.bytesAvailable(); }

    int ErrorNumber() const { return m_errorNumber; }
    QString ErrorDescription() const { return m_errorDescription; }

signals:
    void StateChanged(int state);
    void DataArrival(qint64 bytesTotal);
    void Error(int number, const QString& description);

private:
    void onSocketState(QAbstractSocket::SocketState state);
    void onSocketError(QAbstractSocket::SocketError error);
    void fail(int number, const QString& description);
    void report();

    QTcpSocket m_socket;
    QString m_remoteHost;
    int m_remotePort = 0;
    int m_localPort = 0;
    bool m_attempting = false; // a Connect is under way and has not yet connected
    bool m_closing = false;
    bool m_lostAttempt = false; // the attempt ended; its reason is still to come
    bool m_failed = false;
    bool m_peerClosed = false;
    int m_reported = Closed;
    int m_errorNumber = 0;
    QString m_errorDescription;
};

} // namespace rt
