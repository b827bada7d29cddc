#include "platform/Database.h"
#include "platform/DatabaseCreation.h"
#include "platform/Events.h"
#include "platform/LockWait.h"
#include "platform/PaintPacing.h"
#include "tests/support/MomentaryLock.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

QString schemaSql()
{
    QFile f(qEnvironmentVariable("VANTREL_SOURCE_DIR") + QStringLiteral("/db/schema.sql"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The pointer on top of the stack, or -1 for none.
int overridePointer()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? int(cursor->shape()) : -1;
}

// A window that notes what reaches it, and whether the lock was still held then.
class Probe : public QWidget {
public:
    const testsupport::MomentaryLock* lock = nullptr;
    int paints = 0;
    int paintsWhileHeld = 0;
    int pointerAtPaint = -2;
    int keys = 0;
    int posted = 0;
    QColor fill; // what it paints itself with, when valid

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (fill.isValid())
            QPainter(this).fillRect(rect(), fill);
        ++paints;
        if (lock && lock->isHeld())
            ++paintsWhileHeld;
        pointerAtPaint = overridePointer();
    }
    void keyPressEvent(QKeyEvent*) override { ++keys; }
    void customEvent(QEvent*) override { ++posted; }
};

// What the program may have waiting when a statement begins to wait: none of it may run
// before the statement returns, all of it after.
class Pending {
public:
    explicit Pending(Probe& probe)
    {
        int pair[2] = {-1, -1};
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) {
            m_fds[0] = pair[0];
            m_fds[1] = pair[1];
            m_notifier = std::make_unique<QSocketNotifier>(m_fds[0], QSocketNotifier::Read);
            QObject::connect(m_notifier.get(), &QSocketNotifier::activated,
                             [this](QSocketDescriptor fd) {
                                 ++m_socket;
                                 char byte;
                                 if (::read(int(fd), &byte, 1) != 1)
                                     m_notifier->setEnabled(false);
                             });
            m_socketReady = ::write(m_fds[1], "x", 1) == 1;
        }
        QTimer::singleShot(0, [this] { ++m_queued; });
        QMetaObject::invokeMethod(
            &m_context, [this] { ++m_queued; }, Qt::QueuedConnection);
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ++m_ticks; });
        m_timer.start();
        QCoreApplication::postEvent(&probe, new QKeyEvent(QEvent::KeyPress, Qt::Key_A,
                                                          Qt::NoModifier, QStringLiteral("a")));
        QCoreApplication::postEvent(&probe, new QEvent(QEvent::User));
        m_doomed = new QObject;
        m_doomed->deleteLater();
    }
    ~Pending()
    {
        m_notifier.reset();
        for (int fd : m_fds) {
            if (fd >= 0)
                ::close(fd);
        }
        delete m_doomed.data();
    }

    bool ready() const { return m_socketReady; }
    // Everything that ran, by name.
    QStringList ran(const Probe& probe) const
    {
        QStringList names;
        if (m_socket > 0)
            names << QStringLiteral("socket");
        if (m_queued > 0)
            names << QStringLiteral("queued calls");
        if (m_ticks > 0)
            names << QStringLiteral("timer");
        if (probe.keys > 0)
            names << QStringLiteral("key");
        if (probe.posted > 0)
            names << QStringLiteral("posted event");
        if (m_doomed.isNull())
            names << QStringLiteral("deferred delete");
        return names;
    }

private:
    int m_fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_socketReady = false;
    QObject m_context;
    QTimer m_timer;
    QPointer<QObject> m_doomed;
    int m_socket = 0;
    int m_queued = 0;
    int m_ticks = 0;
};

// Whether the window's picture, as last put on the screen, is all of one colour.
bool shownAllIn(QWidget& window, const QColor& colour)
{
    const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
    if (shown.size() != window.size())
        return false;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixelColor(x, y).rgb() != colour.rgb())
                return false;
        }
    }
    return true;
}

const QStringList everything{"socket", "queued calls", "timer",
                             "key",    "posted event", "deferred delete"};

} // namespace

// While a statement waits for a lock another program holds, the windows paint and the
// pointer is the hourglass; nothing else of the program runs until the statement returns.
class tst_lockwait : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    rt::Database m_db;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("SMS.mdb"));
        QVERIFY(rt::createDatabaseFromSql(m_path, schemaSql().toUtf8()));
        QVERIFY(m_db.open(m_path).ok);
    }
    void cleanup()
    {
        m_db.close();
        m_dir.reset();
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        rt::SetMousePointer(0);
    }

    void onlyPaintingRunsWhileAStatementWaits_data()
    {
        QTest::addColumn<int>("heldMs");  // -1: past the wait
        QTest::addColumn<int>("pointer"); // the program's own pointer meanwhile
        QTest::newRow("released inside the wait") << 1200 << 0;
        QTest::newRow("released inside the wait, the program's hourglass up") << 1200 << 11;
        QTest::newRow("the wait ending by its limit") << -1 << 0;
    }
    void onlyPaintingRunsWhileAStatementWaits()
    {
        QFETCH(int, heldMs);
        QFETCH(int, pointer);
        constexpr int limitMs = 1500;
        m_db.setLockWaitMs(limitMs);
        rt::SetMousePointer(pointer);
        const int pointerBefore = overridePointer();
        Probe probe;
        probe.resize(200, 100);
        probe.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
        QCoreApplication::processEvents();

        testsupport::MomentaryLock lock(m_path, heldMs);
        QVERIFY(lock.isHeld());
        probe.lock = &lock;
        probe.paints = 0;
        Pending pending(probe);
        QVERIFY(pending.ready());
        // The program changes what the window shows while the statement waits.
        bool changed = false;
        lock.duringWait([&] {
            if (!std::exchange(changed, true))
                probe.update();
        });

        QElapsedTimer waited;
        waited.start();
        const rt::DbResult r =
            m_db.execute({QStringLiteral("INSERT INTO members (LastName) VALUES (?)"), {"x"}});
        const qint64 elapsed = waited.elapsed();

        QVERIFY(changed);
        QVERIFY2(probe.paintsWhileHeld > 0, "no paint while the lock was held");
        QCOMPARE(probe.pointerAtPaint, int(Qt::WaitCursor));
        QCOMPARE(pending.ran(probe), QStringList());
        QCOMPARE(overridePointer(), pointerBefore);
        QCOMPARE(rt::MousePointer(), pointer);
        QVERIFY(!rt::LockWait::active());
        if (heldMs < 0) {
            QVERIFY(!r.ok);
            QVERIFY(rt::isLockTimeout(r));
            QVERIFY(lock.isHeld());
            QVERIFY2(elapsed >= limitMs && elapsed < limitMs + 1000,
                     qPrintable(QString::number(elapsed)));
        } else {
            QVERIFY2(r.ok, qPrintable(r.description));
            QVERIFY(!lock.isHeld());
            QVERIFY(elapsed >= heldMs);
        }

        // Nothing was lost: it all runs once the program is back in its event loop.
        QTRY_COMPARE(pending.ran(probe), everything);
        lock.release();
    }

    // A window shown just before the wait has not been on the screen yet in the toolkit's
    // eyes: its first expose waits among the events the wait does not read. It has its
    // picture all the same, and a change the program makes to it meanwhile is painted.
    void aWindowShownJustBeforeTheWaitHasItsPicture()
    {
        m_db.setLockWaitMs(10000); // a bound only: the lock goes once both pictures were seen
        Probe probe;
        probe.fill = Qt::darkCyan;
        probe.resize(200, 100);
        probe.show();
        QVERIFY(!probe.windowHandle()->isExposed());

        testsupport::MomentaryLock lock(m_path, -1);
        QVERIFY(lock.isHeld());
        Pending pending(probe);
        QVERIFY(pending.ready());
        QList<QColor> seen;
        lock.duringWait([&] {
            if (!shownAllIn(probe, probe.fill))
                return;
            seen.append(probe.fill);
            if (probe.fill == Qt::darkCyan) {
                probe.fill = Qt::darkYellow;
                probe.update();
            } else {
                lock.release();
            }
        });

        const rt::DbResult r =
            m_db.execute({QStringLiteral("INSERT INTO members (LastName) VALUES (?)"), {"x"}});

        QVERIFY2(r.ok, qPrintable(r.description));
        QCOMPARE(seen, (QList<QColor>{Qt::darkCyan, Qt::darkYellow}));
        QVERIFY(!probe.windowHandle()->isExposed());
        QCOMPARE(pending.ran(probe), QStringList());
        QTRY_COMPARE(pending.ran(probe), everything);
    }

    // A window painted at most once per gap holds back a change that comes just after a
    // paint until the gap's timer runs, and no timer runs while a statement waits: the
    // change is painted during the wait all the same.
    void aPacedWindowChangedJustBeforeTheWaitIsPainted()
    {
        m_db.setLockWaitMs(10000); // a bound only: the lock goes once a paint was seen
        Probe probe;
        probe.resize(200, 100);
        rt::PaintPacing::install(probe);
        probe.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
        QCoreApplication::processEvents();

        testsupport::MomentaryLock lock(m_path, -1);
        QVERIFY(lock.isHeld());
        probe.lock = &lock;
        lock.duringWait([&] {
            if (probe.paintsWhileHeld > 0)
                lock.release();
        });
        probe.repaint();
        probe.update();

        const rt::DbResult r =
            m_db.execute({QStringLiteral("INSERT INTO members (LastName) VALUES (?)"), {"x"}});

        QVERIFY2(r.ok, qPrintable(r.description));
        QVERIFY(probe.paintsWhileHeld > 0);
    }

    // The pause between two attempts at a write shows the same as a wait for the lock.
    void aPauseBetweenTwoAttemptsOnlyPaints()
    {
        Probe probe;
        probe.resize(200, 100);
        probe.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
        QCoreApplication::processEvents();
        probe.paints = 0;
        Pending pending(probe);
        QVERIFY(pending.ready());
        probe.update();

        QElapsedTimer paused;
        paused.start();
        rt::LockWait::pause(300);

        QVERIFY(paused.elapsed() >= 300);
        QCOMPARE(probe.paints, 1);
        QCOMPARE(probe.pointerAtPaint, int(Qt::WaitCursor));
        QCOMPARE(overridePointer(), -1);
        QCOMPARE(pending.ran(probe), QStringList());
        QTRY_COMPARE(pending.ran(probe), everything);
    }
};

QTEST_MAIN(tst_lockwait)
#include "tst_lockwait.moc"
