#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

namespace testsupport {

// The SMS service's web server, played on 127.0.0.1 at a free port. It records the bytes
// of every request and answers each connection with the next scripted Answer (the
// default answer once the script runs dry). Tests start and stop it themselves.
//
//   FakeSmsService service;
//   service.start();
//   service.script(FakeSmsService::Answer::code(12));
//   ... connect to service.host() : service.port() ...
//   service.requests().first()  // the request's bytes
class FakeSmsService : public QObject {
    Q_OBJECT
public:
    struct Answer {
        enum class Kind {
            Reply,             // bytes, after delayMs, then close (unless keepOpen)
            Split,             // bytes[0, splitAt), delayMs, the rest; delayMs < 0: never the rest
            Drip,              // one byte every delayMs
            Never,             // reads the request and stays silent with the line open
            Reset,             // reads the request and resets the connection
            CloseAfterRequest, // reads the request and closes without a byte
            CloseAtAccept,     // closes as soon as it accepts, reading nothing
        };
        Kind kind = Kind::Reply;
        QByteArray bytes;
        int splitAt = 0;
        int delayMs = 0;
        bool keepOpen = false; // after the last byte, leave the line open

        // A proper HTTP/1.0 reply whose body is the element result holding the code.
        static Answer code(qint32 code);
        // The same with any inner text of the result element (Windows-1253).
        static Answer result(const QString& inner);
        static Answer raw(const QByteArray& bytes);
        static Answer split(const QByteArray& bytes, int splitAt, int delayMs);
        static Answer drip(const QByteArray& bytes, int intervalMs);
        static Answer never();
        static Answer reset();
        static Answer closeAfterRequest();
        static Answer closeAtAccept();
        // An HTTP head followed by `size` bytes of filler and no result, line kept open.
        static Answer oversized(int size);

        Answer delayed(int ms) const;
        Answer leftOpen() const;
    };

    explicit FakeSmsService(QObject* parent = nullptr);
    ~FakeSmsService() override;

    // Listens on 127.0.0.1 at the given port, or at a free one.
    bool start(quint16 port = 0);
    void stop();
    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_port; }

    void script(const Answer& answer) { m_script.append(answer); }
    void setDefaultAnswer(const Answer& answer) { m_default = answer; }

    QList<QByteArray> requests() const { return m_requests; }
    int connectionCount() const { return m_connections; }
    // Lets events run until `count` requests have arrived or the time is up.
    bool waitForRequests(int count, int timeoutMs);

    // The reply heads and bodies the real service sends.
    static QByteArray httpReply(const QByteArray& body);
    static QByteArray resultReply(const QString& inner);
    // A loopback port on which nothing listens (connecting there is refused).
    static quint16 unusedPort();

signals:
    void requestReceived(const QByteArray& request);

private:
    void accept();

    QTcpServer m_server;
    quint16 m_port = 0;
    QList<Answer> m_script;
    Answer m_default = Answer::code(0);
    QList<QByteArray> m_requests;
    int m_connections = 0;
};

// Points the account settings at the service (its host and port) with the test account:
// user "user", password "secret", originator "Shop", and no question before sending.
void useTestAccount(const FakeSmsService& service);

} // namespace testsupport
