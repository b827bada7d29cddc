#include "sending/TCPSender.h"

#include "platform/Form.h"
#include "platform/Winsock.h"

#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

namespace {

const QString closingTag = QStringLiteral("</result>");

// Two linked stations: what the control looks like where a window shows it.
QPixmap controlPicture()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 70, 140), 2));
    p.setBrush(QColor(210, 225, 250));
    p.drawRoundedRect(QRectF(2, 4, 11, 9), 2, 2);
    p.drawRoundedRect(QRectF(19, 19, 11, 9), 2, 2);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(7.5, 13), QPointF(7.5, 23.5));
    p.drawLine(QPointF(7.5, 23.5), QPointF(19, 23.5));
    return picture;
}

} // namespace

TCPSender::TCPSender(QWidget* parent)
    : QWidget(parent), Winsock(new rt::Winsock(this)), ConnectionTimer(new QTimer(this)),
      ControlImage(new QLabel(this))
{
    setObjectName(QStringLiteral("TCPSender"));
    Winsock->setObjectName(QStringLiteral("Winsock"));
    ConnectionTimer->setObjectName(QStringLiteral("ConnectionTimer"));
    ControlImage->setObjectName(QStringLiteral("ControlImage"));

    ConnectionTimer->setInterval(500);
    connect(ConnectionTimer, &QTimer::timeout, this, &TCPSender::poll);

    const QPixmap picture = controlPicture();
    ControlImage->setPixmap(picture);
    ControlImage->resize(picture.size());
    setFixedSize(picture.size());

    // Connected first, so every other listener sees the buffer already filled.
    connect(Winsock, &rt::Winsock::DataArrival, this, &TCPSender::takeData);
    connect(Winsock, &rt::Winsock::Error, this, &TCPSender::ConnectionError);
}

TCPSender::~TCPSender()
{
    disconnect(Winsock, nullptr, this, nullptr);
}

QString TCPSender::HostIP() const
{
    return Winsock->LocalIP();
}
QString TCPSender::HostName() const
{
    return Winsock->LocalHostName();
}
int TCPSender::HostPort() const
{
    return Winsock->LocalPort();
}

void TCPSender::setHostPort(int port)
{
    Winsock->setLocalPort(port);
    emit PropertyChanged(QStringLiteral("HostPort"));
}

QString TCPSender::RemoteIP() const
{
    return Winsock->RemoteHostIP();
}
int TCPSender::RemotePort() const
{
    return Winsock->RemotePort();
}

void TCPSender::setRemotePort(int port)
{
    Winsock->setRemotePort(port);
    emit PropertyChanged(QStringLiteral("RemotePort"));
}

QString TCPSender::RemoteHost() const
{
    return Winsock->RemoteHost();
}

void TCPSender::setRemoteHost(const QString& host)
{
    Winsock->setRemoteHost(host);
    emit PropertyChanged(QStringLiteral("RemoteHost"));
}

int TCPSender::ConnectionState() const
{
    return Winsock->State();
}

bool TCPSender::Busy() const
{
    const int state = ConnectionState();
    return state != rt::Winsock::Closed && state != rt::Winsock::Failed;
}

void TCPSender::InitializeConnection()
{
    // Called before every exchange: restarting a running poll would starve it in a batch
    // of quick exchanges.
    if (!ConnectionTimer->isActive())
        ConnectionTimer->start();
}

bool TCPSender::OpenConnection()
{
    return open() == Opened::Connected;
}

void TCPSender::CloseConnection()
{
    Winsock->Close();
}

bool TCPSender::SendData(const QString& data)
{
    return exchange(data, m_sendDataLimitMs);
}

bool TCPSender::SendDataAndWait(const QString& data)
{
    return exchange(data, m_replyLimitMs);
}

TCPSender::Opened TCPSender::open()
{
    ReceiveBuffer.clear();
    if (ConnectionState() != rt::Winsock::Closed)
        Winsock->Close();
    if (ConnectionState() != rt::Winsock::Closed)
        return Opened::NotConnected;
    if (!Winsock->Connect()) {
        emit ConnectionError(Winsock->ErrorNumber(), Winsock->ErrorDescription());
        return Opened::NotConnected;
    }
    // A Cancel that closes the socket ends the wait too, not only success or failure.
    const WaitEnd end = waitUntil(
        [this] {
            const int s = ConnectionState();
            return s == rt::Winsock::Connected || s == rt::Winsock::Failed ||
                   s == rt::Winsock::Closed || s == rt::Winsock::PeerClosing;
        },
        m_connectLimitMs);
    if (end == WaitEnd::Destroyed)
        return Opened::Destroyed;
    if (end == WaitEnd::TimeLimit) {
        emit ConnectionTimeOut(RemoteHost());
        Winsock->Close();
        return Opened::NotConnected;
    }
    return ConnectionState() == rt::Winsock::Connected ? Opened::Connected : Opened::NotConnected;
}

bool TCPSender::exchange(const QString& data, int limitMs)
{
    m_requestLeft = false;
    if (open() != Opened::Connected)
        return false;
    // A write that fails may still have put some of the bytes on their way.
    m_requestLeft = true;
    if (!Winsock->SendData(data)) {
        emit ConnectionError(Winsock->ErrorNumber(), Winsock->ErrorDescription());
        Winsock->Close();
        return false;
    }
    // The network may cut the reply anywhere, also between the head and the body: read on
    // until the result is complete, the server has said all it will, or the limit passes.
    const WaitEnd end = waitUntil(
        [this] {
            return ReceiveBuffer.contains(closingTag) || ReceiveBuffer.size() >= MaxReplyBytes ||
                   ConnectionState() != rt::Winsock::Connected;
        },
        limitMs);
    if (end == WaitEnd::Destroyed)
        return false;
    takeData();
    QPointer<TCPSender> self(this);
    // The limit is reported also when part of a reply came: the host gets that part.
    if (end == WaitEnd::TimeLimit)
        emit ConnectionTimeOut(RemoteHost());
    if (!self)
        return false;
    if (ReceiveBuffer.isEmpty()) {
        Winsock->Close();
        return false;
    }
    const QString reply = ReceiveBuffer;
    ReceiveBuffer.clear();
    emit DataArrival(reply);
    if (self)
        Winsock->Close();
    return true;
}

TCPSender::WaitEnd TCPSender::waitUntil(const std::function<bool()>& done, int limitMs)
{
    if (done())
        return WaitEnd::Done;
    QPointer<TCPSender> self(this);
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    // A coarse timer may end the wait up to 5 % before the limit the user set.
    limit.setTimerType(Qt::PreciseTimer);
    bool timedOut = false;
    connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    const auto check = [&] {
        if (done())
            loop.quit();
    };
    connect(Winsock, &rt::Winsock::StateChanged, &loop, check);
    connect(Winsock, &rt::Winsock::DataArrival, &loop, check);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    limit.start(limitMs);
    {
        const rt::EventWait wait;
        loop.exec();
    }
    if (!self)
        return WaitEnd::Destroyed;
    if (done())
        return WaitEnd::Done;
    return timedOut ? WaitEnd::TimeLimit : WaitEnd::Done;
}

void TCPSender::poll()
{
    const int state = ConnectionState();
    if (state != LastState) {
        LastState = state;
        emit ConnectionStateChanged(state);
    }
}

void TCPSender::takeData()
{
    if (Winsock->BytesReceived() <= 0)
        return;
    ReceiveBuffer += Winsock->GetData();
    if (ReceiveBuffer.size() > MaxReplyBytes)
        ReceiveBuffer.truncate(MaxReplyBytes);
}
