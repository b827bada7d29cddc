#include "platform/Winsock.h"
#include "tests/support/FakeSmsService.h"

#include <QSignalSpy>
#include <QTest>

using testsupport::FakeSmsService;

class tst_winsock : public QObject {
    Q_OBJECT

    static bool waitForState(rt::Winsock& socket, int state)
    {
        QSignalSpy spy(&socket, &rt::Winsock::StateChanged);
        for (int i = 0; i < 50 && socket.State() != state; ++i)
            spy.wait(100);
        return socket.State() == state;
    }

private slots:
    void connectsAndCloses()
    {
        FakeSmsService service;
        QVERIFY(service.start());
        rt::Winsock socket;
        QCOMPARE(socket.State(), 0);
        QSignalSpy states(&socket, &rt::Winsock::StateChanged);
        socket.setRemoteHost(service.host());
        socket.setRemotePort(service.port());
        QVERIFY(socket.Connect());
        QVERIFY(waitForState(socket, rt::Winsock::Connected));
        QCOMPARE(states.last().at(0).toInt(), 7);
        QCOMPARE(socket.RemoteHostIP(), QStringLiteral("127.0.0.1"));
        QCOMPARE(socket.LocalIP(), QStringLiteral("127.0.0.1"));
        QVERIFY(socket.LocalPort() > 0);
        QVERIFY(!socket.LocalHostName().isEmpty());

        socket.Close();
        QCOMPARE(socket.State(), 0);
        QCOMPARE(states.last().at(0).toInt(), 0);
        QVERIFY(socket.RemoteHostIP().isEmpty());
    }

    void textTravelsAsWindows1253()
    {
        FakeSmsService service;
        QVERIFY(service.start());
        // "Ωμέγα" in the Greek code page
        service.script(FakeSmsService::Answer::raw("<result>\xD9\xEC\xDD\xE3\xE1</result>"));
        rt::Winsock socket;
        QSignalSpy arrivals(&socket, &rt::Winsock::DataArrival);
        socket.setRemoteHost(service.host());
        socket.setRemotePort(service.port());
        QVERIFY(socket.Connect());
        QVERIFY(waitForState(socket, rt::Winsock::Connected));
        QVERIFY(socket.SendData(QStringLiteral("GET /Αβγ€ HTTP/1.0\r\n\r\n")));
        QVERIFY(service.waitForRequests(1, 5000));
        QCOMPARE(service.requests().first(), QByteArray("GET /\xC1\xE2\xE3\x80 HTTP/1.0\r\n\r\n"));

        // The peer closes after its reply: the state says so, and the data stays readable
        // until the socket is closed.
        QVERIFY(waitForState(socket, rt::Winsock::PeerClosing));
        QVERIFY(!arrivals.isEmpty());
        QCOMPARE(socket.GetData(), QStringLiteral("<result>Ωμέγα</result>"));
        socket.Close();
        QCOMPARE(socket.State(), 0);
    }

    void refusedConnectionIsAnError()
    {
        rt::Winsock socket;
        QSignalSpy errors(&socket, &rt::Winsock::Error);
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(FakeSmsService::unusedPort());
        QVERIFY(socket.Connect());
        QVERIFY(waitForState(socket, rt::Winsock::Failed));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().at(0).toInt(), 10061);
        QVERIFY(!errors.first().at(1).toString().isEmpty());

        // The error stays until the socket is closed; only a closed socket connects.
        QVERIFY(!socket.Connect());
        QCOMPARE(socket.State(), 9);
        socket.Close();
        QCOMPARE(socket.State(), 0);
    }

    void misuseIsRefused()
    {
        rt::Winsock socket;
        QVERIFY(!socket.SendData(QStringLiteral("x")));
        QCOMPARE(socket.ErrorNumber(), 10057);
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(0);
        QVERIFY(!socket.Connect());
        QCOMPARE(socket.State(), 0);
        socket.setRemotePort(70000);
        QVERIFY(!socket.Connect());
        QCOMPARE(socket.State(), 0);
    }

    void localPortIsBound()
    {
        FakeSmsService service;
        QVERIFY(service.start());
        const quint16 local = FakeSmsService::unusedPort();
        rt::Winsock socket;
        socket.setLocalPort(local);
        QCOMPARE(socket.LocalPort(), int(local));
        socket.setRemoteHost(service.host());
        socket.setRemotePort(service.port());
        QVERIFY(socket.Connect());
        QVERIFY(waitForState(socket, rt::Winsock::Connected));
        QCOMPARE(socket.LocalPort(), int(local));
        QCOMPARE(socket.RemoteHostIP(), QStringLiteral("127.0.0.1"));
    }
};

QTEST_MAIN(tst_winsock)
#include "tst_winsock.moc"
