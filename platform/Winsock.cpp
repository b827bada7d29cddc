#include "platform/Winsock.h"

#include "platform/Cp1253.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>

namespace rt {

namespace {

// IPv4 peers of a dual-stack socket show as mapped IPv6 addresses; callers expect the
// dotted form.
QString addressText(const QHostAddress& address)
{
    if (address.isNull())
        return QString();
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

// The socket API's error numbers, which is what hosts of the old control logged.
int errorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::RemoteHostClosedError:
        return 10054;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::NetworkError:
        return 10050;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;
    default:
        return 10053;
    }
}

} // namespace

Winsock::Winsock(QObject* parent) : QObject(parent)
{
    connect(&m_socket, &QAbstractSocket::stateChanged, this, &Winsock::onSocketState);
    connect(&m_socket, &QAbstractSocket::errorOccurred, this, &Winsock::onSocketError);
    connect(&m_socket, &QIODevice::readyRead, this,
            [this] { emit DataArrival(m_socket.bytesAvailable()); });
}

Winsock::~Winsock()
{
    // The socket's own teardown would report a last state change to a half-destroyed
    // owner.
    disconnect(&m_socket, nullptr, this, nullptr);
    m_socket.abort();
}

int Winsock::LocalPort() const
{
    return m_socket.state() == QAbstractSocket::UnconnectedState ? m_localPort
                                                                 : m_socket.localPort();
}

QString Winsock::LocalIP() const
{
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        return addressText(m_socket.localAddress());
    const auto all = QNetworkInterface::allAddresses();
    for (const QHostAddress& a : all) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a.toString();
    }
    return QStringLiteral("127.0.0.1");
}

QString Winsock::LocalHostName() const
{
    return QHostInfo::localHostName();
}

QString Winsock::RemoteHostIP() const
{
    return addressText(m_socket.peerAddress());
}

int Winsock::State() const
{
    if (m_failed)
        return Failed;
    if (m_peerClosed)
        return PeerClosing;
    switch (m_socket.state()) {
    case QAbstractSocket::UnconnectedState:
        return Closed;
    case QAbstractSocket::HostLookupState:
        return ResolvingHost;
    case QAbstractSocket::ConnectingState:
        return Connecting;
    case QAbstractSocket::ConnectedState:
        return Connected;
    case QAbstractSocket::BoundState:
        return Open;
    case QAbstractSocket::ListeningState:
        return Listening;
    case QAbstractSocket::ClosingState:
        return PeerClosing;
    }
    return Closed;
}

bool Winsock::Connect()
{
    if (State() != Closed) {
        m_errorNumber = 10056;
        m_errorDescription = QStringLiteral("The socket is already in use");
        return false;
    }
    if (m_remotePort < 1 || m_remotePort > 65535) {
        m_errorNumber = 10049;
        m_errorDescription = QStringLiteral("Invalid port number");
        return false;
    }
    m_failed = false;
    m_peerClosed = false;
    m_lostAttempt = false;
    m_errorNumber = 0;
    m_errorDescription.clear();
    m_attempting = true;
    if (m_localPort > 0 && m_localPort <= 65535 &&
        !m_socket.bind(QHostAddress::Any, static_cast<quint16>(m_localPort))) {
        m_attempting = false;
        if (!m_failed)
            fail(errorNumber(m_socket.error()), m_socket.errorString());
        return true;
    }
    m_socket.connectToHost(m_remoteHost, static_cast<quint16>(m_remotePort));
    return true;
}

void Winsock::Close()
{
    m_closing = true;
    m_attempting = false;
    m_socket.abort();
    m_closing = false;
    m_failed = false;
    m_peerClosed = false;
    m_lostAttempt = false;
    report();
}

bool Winsock::SendData(const QString& text)
{
    if (State() != Connected) {
        m_errorNumber = 10057;
        m_errorDescription = QStringLiteral("The socket is not connected");
        return false;
    }
    const QByteArray bytes = cp1253::fromUnicode(text);
    if (m_socket.write(bytes) != bytes.size()) {
        m_errorNumber = errorNumber(m_socket.error());
        m_errorDescription = m_socket.errorString();
        return false;
    }
    m_socket.flush();
    return true;
}

QString Winsock::GetData()
{
    return cp1253::toUnicode(m_socket.readAll());
}

void Winsock::onSocketState(QAbstractSocket::SocketState state)
{
    if (m_closing)
        return;
    if (state == QAbstractSocket::ConnectedState) {
        m_attempting = false;
    } else if (state == QAbstractSocket::UnconnectedState) {
        // The toolkit reports the lost attempt before it says why; the state must not
        // read "closed" in between.
        if (m_attempting) {
            m_failed = true;
            m_lostAttempt = true;
        } else if (!m_failed)
            m_peerClosed = true;
        m_attempting = false;
    }
    report();
}

void Winsock::onSocketError(QAbstractSocket::SocketError error)
{
    if (m_closing)
        return;
    const bool attempt = m_attempting || m_lostAttempt;
    m_lostAttempt = false;
    if (error == QAbstractSocket::RemoteHostClosedError && !attempt) {
        // An orderly or abrupt end from the peer is not a failure of ours.
        m_peerClosed = true;
        report();
        return;
    }
    m_attempting = false;
    fail(errorNumber(error), m_socket.errorString());
}

void Winsock::fail(int number, const QString& description)
{
    m_failed = true;
    m_errorNumber = number;
    m_errorDescription = description;
    emit Error(number, description);
    report();
}

void Winsock::report()
{
    const int now = State();
    if (now != m_reported) {
        m_reported = now;
        emit StateChanged(now);
    }
}

} // namespace rt
