#include "tests/support/FakeSmsService.h"

#include "app/mdlSettings.h"
#include "platform/Cp1253.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <functional>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace testsupport {

namespace {

// One accepted connection: collects the request, then plays its answer.
class Session : public QObject {
public:
    using Recorder = std::function<void(const QByteArray&)>;

    Session(QTcpSocket* socket, FakeSmsService::Answer answer, Recorder record, QObject* parent)
        : QObject(parent), m_socket(socket), m_answer(std::move(answer)),
          m_record(std::move(record))
    {
        m_socket->setParent(this);
        connect(m_socket, &QTcpSocket::readyRead, this, &Session::read);
        connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        if (m_answer.kind == FakeSmsService::Answer::Kind::CloseAtAccept) {
            m_socket->disconnectFromHost();
            return;
        }
        read();
    }

private:
    void read()
    {
        if (m_answered)
            return;
        m_request += m_socket->readAll();
        const qsizetype headEnd = m_request.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        qsizetype length = 0;
        const QList<QByteArray> lines = m_request.left(headEnd).split('\n');
        for (const QByteArray& line : lines) {
            const QByteArray l = line.trimmed();
            if (l.toLower().startsWith("content-length:"))
                length = l.mid(15).trimmed().toLongLong();
        }
        if (m_request.size() < headEnd + 4 + length)
            return;
        m_answered = true;
        m_record(m_request);
        play();
    }

    void play()
    {
        using Kind = FakeSmsService::Answer::Kind;
        switch (m_answer.kind) {
        case Kind::Reply:
            later(m_answer.delayMs, [this] { send(m_answer.bytes, true); });
            break;
        case Kind::Split:
            send(m_answer.bytes.left(m_answer.splitAt), false);
            if (m_answer.delayMs >= 0)
                later(m_answer.delayMs,
                      [this] { send(m_answer.bytes.mid(m_answer.splitAt), true); });
            break;
        case Kind::Drip:
            drip();
            break;
        case Kind::Never:
            break;
        case Kind::Reset:
#ifdef Q_OS_UNIX
        {
            // A zero linger time makes the close send a reset instead of an orderly end.
            const linger hard{1, 0};
            ::setsockopt(static_cast<int>(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                         &hard, sizeof hard);
        }
#endif
            m_socket->abort();
            deleteLater();
            break;
        case Kind::CloseAfterRequest:
            m_socket->disconnectFromHost();
            break;
        case Kind::CloseAtAccept:
            break;
        }
    }

    void drip()
    {
        if (m_dripped >= m_answer.bytes.size()) {
            finish();
            return;
        }
        m_socket->write(m_answer.bytes.mid(m_dripped++, 1));
        m_socket->flush();
        later(m_answer.delayMs, [this] { drip(); });
    }

    void send(const QByteArray& bytes, bool last)
    {
        m_socket->write(bytes);
        m_socket->flush();
        if (last)
            finish();
    }

    void finish()
    {
        if (!m_answer.keepOpen)
            m_socket->disconnectFromHost();
    }

    void later(int ms, std::function<void()> step)
    {
        QTimer::singleShot(ms < 0 ? 0 : ms, this, std::move(step));
    }

    QTcpSocket* m_socket;
    FakeSmsService::Answer m_answer;
    Recorder m_record;
    QByteArray m_request;
    bool m_answered = false;
    qsizetype m_dripped = 0;
};

} // namespace

using Answer = FakeSmsService::Answer;

Answer Answer::code(qint32 code)
{
    return result(QString::number(code));
}

Answer Answer::result(const QString& inner)
{
    return raw(resultReply(inner));
}

Answer Answer::raw(const QByteArray& bytes)
{
    Answer a;
    a.bytes = bytes;
    return a;
}

Answer Answer::split(const QByteArray& bytes, int splitAt, int delayMs)
{
    Answer a = raw(bytes);
    a.kind = Kind::Split;
    a.splitAt = splitAt;
    a.delayMs = delayMs;
    return a;
}

Answer Answer::drip(const QByteArray& bytes, int intervalMs)
{
    Answer a = raw(bytes);
    a.kind = Kind::Drip;
    a.delayMs = intervalMs;
    return a;
}

Answer Answer::never()
{
    Answer a;
    a.kind = Kind::Never;
    return a;
}

Answer Answer::reset()
{
    Answer a;
    a.kind = Kind::Reset;
    return a;
}

Answer Answer::closeAfterRequest()
{
    Answer a;
    a.kind = Kind::CloseAfterRequest;
    return a;
}

Answer Answer::closeAtAccept()
{
    Answer a;
    a.kind = Kind::CloseAtAccept;
    return a;
}

Answer Answer::oversized(int size)
{
    Answer a = raw(httpReply(QByteArray(size, 'x')));
    a.keepOpen = true;
    return a;
}

Answer Answer::delayed(int ms) const
{
    Answer a = *this;
    a.delayMs = ms;
    return a;
}

Answer Answer::leftOpen() const
{
    Answer a = *this;
    a.keepOpen = true;
    return a;
}

FakeSmsService::FakeSmsService(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakeSmsService::accept);
}

FakeSmsService::~FakeSmsService()
{
    stop();
}

bool FakeSmsService::start(quint16 port)
{
    if (!m_server.isListening() && !m_server.listen(QHostAddress::LocalHost, port))
        return false;
    m_port = m_server.serverPort();
    return true;
}

void FakeSmsService::stop()
{
    m_server.close();
    const auto sessions = findChildren<Session*>(Qt::FindDirectChildrenOnly);
    for (Session* s : sessions)
        delete s;
}

bool FakeSmsService::waitForRequests(int count, int timeoutMs)
{
    if (m_requests.size() >= count)
        return true;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &FakeSmsService::requestReceived, &loop, [&] {
        if (m_requests.size() >= count)
            loop.quit();
    });
    limit.start(timeoutMs);
    loop.exec();
    return m_requests.size() >= count;
}

QByteArray FakeSmsService::httpReply(const QByteArray& body)
{
    return "HTTP/1.0 200 OK\r\n"
           "Content-Type: text/html; charset=windows-1253\r\n"
           "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray FakeSmsService::resultReply(const QString& inner)
{
    return httpReply(
        rt::cp1253::fromUnicode(QStringLiteral("<result>") + inner + QStringLiteral("</result>")));
}

quint16 FakeSmsService::unusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void FakeSmsService::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        const Answer answer = m_script.isEmpty() ? m_default : m_script.takeFirst();
        new Session(
            socket, answer,
            [this](const QByteArray& request) {
                m_requests.append(request);
                emit requestReceived(request);
            },
            this);
    }
}

void useTestAccount(const FakeSmsService& service)
{
    mdlSettings::ServerURL = service.host();
    mdlSettings::ServerPort = service.port();
    mdlSettings::UserName = QStringLiteral("user");
    mdlSettings::Password = QStringLiteral("secret");
    mdlSettings::Originator = QStringLiteral("Shop");
    mdlSettings::AskOnSend = 0;
}

} // namespace testsupport
