#include "platform/Winsock.h"
#include "sending/TCPSender.h"
#include "sending/mdlInternet.h"
#include "tests/support/FakeSmsService.h"

#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <sys/resource.h>

using testsupport::FakeSmsService;
using Answer = FakeSmsService::Answer;

Q_DECLARE_METATYPE(FakeSmsService::Answer)

namespace {

QString creditsRequest()
{
    return mdlInternet::BuildRequest(QStringLiteral("credits.php"), QString(),
                                     mdlInternet::Account{QStringLiteral("127.0.0.1"), 80,
                                                          QStringLiteral("u"),
                                                          QStringLiteral("p")});
}

QByteArray reply(qint32 code)
{
    return FakeSmsService::resultReply(QString::number(code));
}

qint64 headLength(const QByteArray& reply)
{
    return reply.indexOf("\r\n\r\n") + 4;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A proxy that accepts and never answers keeps a connection attempt pending.
void holdConnectionsOpen(TCPSender& sender, const FakeSmsService& silentProxy)
{
    sender.findChild<rt::Winsock*>(QStringLiteral("Winsock"))
        ->setProxy(
            QNetworkProxy(QNetworkProxy::Socks5Proxy, silentProxy.host(), silentProxy.port()));
}

// Sleeps until the monotonic clock, on which the event loop's timers run, is `phaseMs`
// past a half second.
void startAtPhase(int phaseMs)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long halfSecond = 500'000'000L;
    timespec at{now.tv_sec, now.tv_nsec / halfSecond * halfSecond + phaseMs * 1'000'000L};
    if (at.tv_nsec <= now.tv_nsec)
        at.tv_nsec += halfSecond;
    if (at.tv_nsec >= 1'000'000'000L) {
        at.tv_nsec -= 1'000'000'000L;
        ++at.tv_sec;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) != 0) {
    }
}

} // namespace

class tst_tcpsender : public QObject {
    Q_OBJECT

    FakeSmsService* m_service = nullptr;

    void pointAtService(TCPSender& sender) const
    {
        sender.setRemoteHost(m_service->host());
        sender.setRemotePort(m_service->port());
    }

private slots:
    void init()
    {
        m_service = new FakeSmsService;
        QVERIFY(m_service->start());
    }
    void cleanup()
    {
        delete m_service;
        m_service = nullptr;
    }

    void pollReportsStateChanges()
    {
        TCPSender sender;
        QCOMPARE(sender.findChild<QTimer*>(QStringLiteral("ConnectionTimer"))->interval(), 500);
        QSignalSpy states(&sender, &TCPSender::ConnectionStateChanged);
        sender.InitializeConnection();
        // The first poll reports even the closed state.
        QVERIFY(states.wait(2000));
        QCOMPARE(states.size(), 1);
        QCOMPARE(states.first().at(0).toInt(), 0);

        // A slow reply: the ticks during the exchange see the connection.
        m_service->script(Answer::code(5).delayed(1300));
        pointAtService(sender);
        QVERIFY(sender.SendDataAndWait(creditsRequest()));
        QCOMPARE(states.size(), 2);
        QCOMPARE(states.last().at(0).toInt(), 7);
        QVERIFY(states.wait(2000));
        QCOMPARE(states.size(), 3);
        QCOMPARE(states.last().at(0).toInt(), 0);
    }

    void pollKeepsItsRhythm()
    {
        // Every exchange starts the poll again; quick exchanges must not hold it off.
        TCPSender sender;
        QSignalSpy states(&sender, &TCPSender::ConnectionStateChanged);
        QTimer again;
        connect(&again, &QTimer::timeout, &sender, &TCPSender::InitializeConnection);
        sender.InitializeConnection();
        again.start(200);
        QVERIFY(states.wait(2000));
    }

    void exchangeSendsAndDeliversOnce()
    {
        TCPSender sender;
        QSignalSpy arrivals(&sender, &TCPSender::DataArrival);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        m_service->script(Answer::code(12));
        pointAtService(sender);
        QVERIFY(sender.SendDataAndWait(creditsRequest()));
        QCOMPARE(m_service->requests(), QList<QByteArray>{creditsRequest().toLatin1()});
        QCOMPARE(arrivals.size(), 1);
        QCOMPARE(arrivals.first().at(0).toString(), QString::fromLatin1(reply(12)));
        QVERIFY(timeouts.isEmpty());
        QCOMPARE(sender.ConnectionState(), 0);
        QVERIFY(!sender.Busy());
    }

    void replyIsReadWhole_data()
    {
        QTest::addColumn<Answer>("answer");
        const QByteArray r = reply(12);
        QTest::newRow("split after the head") << Answer::split(r, int(headLength(r)), 300);
        QTest::newRow("split inside the closing tag") << Answer::split(r, int(r.size()) - 4, 200);
        QTest::newRow("one byte at a time") << Answer::drip(r, 1);
    }
    void replyIsReadWhole()
    {
        QFETCH(Answer, answer);
        TCPSender sender;
        QSignalSpy arrivals(&sender, &TCPSender::DataArrival);
        m_service->script(answer);
        pointAtService(sender);
        QVERIFY(sender.SendDataAndWait(creditsRequest()));
        QCOMPARE(arrivals.size(), 1);
        QCOMPARE(arrivals.first().at(0).toString(), QString::fromLatin1(reply(12)));
    }

    void replyEndsAtClosingTag()
    {
        // The server leaves the line open after its reply; the closing tag ends the wait
        // long before the limit.
        TCPSender sender;
        sender.setReplyLimitMs(60000);
        QSignalSpy arrivals(&sender, &TCPSender::DataArrival);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        m_service->script(Answer::code(3).leftOpen());
        pointAtService(sender);
        QVERIFY(sender.SendDataAndWait(creditsRequest()));
        QCOMPARE(arrivals.size(), 1);
        QVERIFY(timeouts.isEmpty());
        QCOMPARE(sender.ConnectionState(), 0);
    }

    void oversizedReplyStopsAtLimit()
    {
        TCPSender sender;
        sender.setReplyLimitMs(60000);
        QSignalSpy arrivals(&sender, &TCPSender::DataArrival);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        m_service->script(Answer::oversized(200000));
        pointAtService(sender);
        QVERIFY(sender.SendDataAndWait(creditsRequest()));
        QCOMPARE(arrivals.size(), 1);
        QCOMPARE(arrivals.first().at(0).toString().size(), TCPSender::MaxReplyBytes);
        QVERIFY(timeouts.isEmpty());
    }

    void limits()
    {
        TCPSender sender;
        QCOMPARE(sender.connectLimitMs(), 10000);
        QCOMPARE(sender.replyLimitMs(), 30000);
        QCOMPARE(sender.sendDataLimitMs(), 10000);
    }

    void silentServerEndsAtReplyLimit_data()
    {
        QTest::addColumn<bool>("waitVariant"); // SendDataAndWait, else SendData
        QTest::newRow("SendDataAndWait") << true;
        QTest::newRow("SendData") << false;
    }
    void silentServerEndsAtReplyLimit()
    {
        QFETCH(bool, waitVariant);
        TCPSender sender;
        sender.setReplyLimitMs(waitVariant ? 300 : 60000);
        sender.setSendDataLimitMs(waitVariant ? 60000 : 300);
        QSignalSpy arrivals(&sender, &TCPSender::DataArrival);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        m_service->script(Answer::never());
        pointAtService(sender);
        const bool got = waitVariant ? sender.SendDataAndWait(creditsRequest())
                                     : sender.SendData(creditsRequest());
        QVERIFY(!got);
        QVERIFY(arrivals.isEmpty());
        QCOMPARE(timeouts.size(), 1);
        QCOMPARE(timeouts.first().at(0).toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(sender.ConnectionState(), 0);
    }

    void partReplyAtLimitIsDelivered()
    {
        TCPSender sender;
        sender.setReplyLimitMs(300);
        QSignalSpy arrivals(&sender, &TCPSender::DataArrival);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        const QByteArray r = reply(12);
        m_service->script(Answer::split(r, int(headLength(r)), -1));
        pointAtService(sender);
        QVERIFY(sender.SendDataAndWait(creditsRequest()));
        QCOMPARE(arrivals.size(), 1);
        QCOMPARE(arrivals.first().at(0).toString(), QString::fromLatin1(r.left(headLength(r))));
        QCOMPARE(timeouts.size(), 1);
    }

    void cancelEndsReplyWait()
    {
        TCPSender sender;
        QSignalSpy arrivals(&sender, &TCPSender::DataArrival);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        m_service->script(Answer::never());
        pointAtService(sender);
        QTimer::singleShot(200, &sender, &TCPSender::CloseConnection);
        QVERIFY(!sender.SendDataAndWait(creditsRequest()));
        QVERIFY(arrivals.isEmpty());
        QVERIFY(timeouts.isEmpty());
        QCOMPARE(sender.ConnectionState(), 0);
    }

    void peerEndsWithoutReply_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("closed after the request") << Answer::closeAfterRequest();
        QTest::newRow("closed at once") << Answer::closeAtAccept();
        QTest::newRow("reset") << Answer::reset();
    }
    void peerEndsWithoutReply()
    {
        QFETCH(Answer, answer);
        TCPSender sender;
        QSignalSpy arrivals(&sender, &TCPSender::DataArrival);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        m_service->script(answer);
        pointAtService(sender);
        QVERIFY(!sender.SendDataAndWait(creditsRequest()));
        QVERIFY(arrivals.isEmpty());
        QVERIFY(timeouts.isEmpty());
        QCOMPARE(sender.ConnectionState(), 0);
    }

    void refusedThenConnectsAgain()
    {
        TCPSender sender;
        QSignalSpy errors(&sender, &TCPSender::ConnectionError);
        sender.setRemoteHost(QStringLiteral("127.0.0.1"));
        sender.setRemotePort(FakeSmsService::unusedPort());
        QVERIFY(!sender.OpenConnection());
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().at(0).toInt(), 10061);
        QCOMPARE(sender.ConnectionState(), 9);
        QVERIFY(!sender.Busy());

        // From the error state the next open closes the socket first, then connects.
        pointAtService(sender);
        QVERIFY(sender.OpenConnection());
        QCOMPARE(sender.ConnectionState(), 7);
        QVERIFY(sender.Busy());
        QCOMPARE(sender.RemoteIP(), QStringLiteral("127.0.0.1"));
        QVERIFY(sender.HostPort() > 0);
        sender.CloseConnection();
        QCOMPARE(sender.ConnectionState(), 0);
    }

    void busyWhilePeerCloses()
    {
        TCPSender sender;
        m_service->script(Answer::closeAtAccept());
        pointAtService(sender);
        sender.OpenConnection();
        QTRY_COMPARE(sender.ConnectionState(), 8);
        QVERIFY(sender.Busy());
        sender.CloseConnection();
        QCOMPARE(sender.ConnectionState(), 0);
        QVERIFY(!sender.Busy());
    }

    void invalidPortIsAConnectionError()
    {
        TCPSender sender;
        QSignalSpy errors(&sender, &TCPSender::ConnectionError);
        sender.setRemoteHost(QStringLiteral("127.0.0.1"));
        sender.setRemotePort(0);
        QVERIFY(!sender.SendDataAndWait(creditsRequest()));
        QCOMPARE(errors.size(), 1);
    }

    void connectLimit()
    {
        TCPSender sender;
        holdConnectionsOpen(sender, *m_service);
        m_service->setDefaultAnswer(Answer::never());
        sender.setConnectLimitMs(300);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        sender.setRemoteHost(QStringLiteral("127.0.0.1"));
        sender.setRemotePort(9);
        QVERIFY(!sender.OpenConnection());
        QCOMPARE(timeouts.size(), 1);
        QCOMPARE(timeouts.first().at(0).toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(sender.ConnectionState(), 0);
    }

    void cancelEndsConnectWait()
    {
        TCPSender sender;
        holdConnectionsOpen(sender, *m_service);
        m_service->setDefaultAnswer(Answer::never());
        sender.setConnectLimitMs(5000);
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        sender.setRemoteHost(QStringLiteral("127.0.0.1"));
        sender.setRemotePort(9);
        QTimer::singleShot(100, &sender, &TCPSender::CloseConnection);
        QVERIFY(!sender.OpenConnection());
        QVERIFY(timeouts.isEmpty());
        QCOMPARE(sender.ConnectionState(), 0);
    }

    // A limit is the least the user waits. A coarse timer of 1 s moves its deadline by up
    // to 5 % towards a round moment of the clock: one that falls 50 to 250 ms past a half
    // second fires 50 ms early. Each wait here starts where that happens, leaving the
    // connection a hundred milliseconds to be made before the limit starts.
    void aWaitLastsItsWholeLimit_data()
    {
        QTest::addColumn<bool>("connecting"); // the connect limit, else the reply limit
        QTest::newRow("reply") << false;
        QTest::newRow("connect") << true;
    }
    void aWaitLastsItsWholeLimit()
    {
        QFETCH(bool, connecting);
        constexpr int limitMs = 1000;
        TCPSender sender;
        if (connecting) {
            holdConnectionsOpen(sender, *m_service);
            m_service->setDefaultAnswer(Answer::never());
            sender.setConnectLimitMs(limitMs);
            sender.setRemoteHost(QStringLiteral("127.0.0.1"));
            sender.setRemotePort(9);
        } else {
            m_service->script(Answer::never());
            sender.setReplyLimitMs(limitMs);
            pointAtService(sender);
        }
        QSignalSpy timeouts(&sender, &TCPSender::ConnectionTimeOut);
        startAtPhase(140);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(connecting ? !sender.OpenConnection() : !sender.SendDataAndWait(creditsRequest()));
        const qint64 waited = clock.elapsed();
        QCOMPARE(timeouts.size(), 1);
        QVERIFY2(waited >= limitMs, qPrintable(QStringLiteral("ended after %1 ms").arg(waited)));
    }

    void waitsDoNotSpin()
    {
        // A wait on a silent server costs next to no processor time: the process uses
        // about a twentieth of a per cent of one core over such a wait, so 2 % leaves a
        // wide margin and still catches a loop that polls.
        constexpr int waitMs = 1500;
        TCPSender sender;
        sender.InitializeConnection();
        sender.setReplyLimitMs(waitMs);
        m_service->script(Answer::never());
        pointAtService(sender);
        const double before = cpuSeconds();
        QVERIFY(!sender.SendDataAndWait(creditsRequest()));
        const double used = cpuSeconds() - before;
        QVERIFY2(used < 0.02 * waitMs / 1000,
                 qPrintable(QStringLiteral("%1 s of processor time").arg(used)));
    }

    void propertiesAnnounceChanges()
    {
        TCPSender sender;
        QSignalSpy changes(&sender, &TCPSender::PropertyChanged);
        sender.setRemoteHost(QStringLiteral("sms.example"));
        sender.setRemotePort(8080);
        sender.setHostPort(0);
        QCOMPARE(changes.size(), 3);
        QCOMPARE(changes.at(0).at(0).toString(), QStringLiteral("RemoteHost"));
        QCOMPARE(changes.at(1).at(0).toString(), QStringLiteral("RemotePort"));
        QCOMPARE(changes.at(2).at(0).toString(), QStringLiteral("HostPort"));
        QCOMPARE(sender.RemoteHost(), QStringLiteral("sms.example"));
        QCOMPARE(sender.RemotePort(), 8080);
        QVERIFY(!sender.HostName().isEmpty());
        QVERIFY(!sender.HostIP().isEmpty());
        QCOMPARE(sender.size(), QSize(32, 32));
    }
};

QTEST_MAIN(tst_tcpsender)
#include "tst_tcpsender.moc"
