// The program ends through rt::End, which leaves by _exit and so skips the leak check a
// sanitizer build runs at a normal exit. Run with leak detection on, a process that ends
// that way must still report what it leaked, and report nothing when it leaked nothing:
// the program itself included, with the suppressions of the system libraries' one-off
// allocations that the sanitizer run uses.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#if defined(__SANITIZE_ADDRESS__)
#define LEAK_CHECK_BUILT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define LEAK_CHECK_BUILT 1
#endif
#endif

class tst_EndLeakCheck : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void reportsWhatLeaked_data();
    void reportsWhatLeaked();
};

void tst_EndLeakCheck::initTestCase()
{
#ifndef LEAK_CHECK_BUILT
    QSKIP("a build without the sanitizers has no leak check (scripts/lib.sh build_sanitized)");
#endif
}

void tst_EndLeakCheck::reportsWhatLeaked_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("leaks");
    QTest::newRow("blocks dropped just before the end") << "leak" << true;
    QTest::newRow("nothing dropped") << "clean" << false;
    QTest::newRow("the program: every docked window twice, then Exit") << "program" << false;
}

void tst_EndLeakCheck::reportsWhatLeaked()
{
    QFETCH(QString, mode);
    QFETCH(bool, leaks);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // What the sanitizer run sets, with leak detection on (later options win) and the
    // suppressions of the sanitizer run.
    const auto append = [&env](const QString& name, const QString& option) {
        const QString before = env.value(name);
        env.insert(name, before.isEmpty() ? option : before + QLatin1Char(':') + option);
    };
    append(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1"));
    append(QStringLiteral("LSAN_OPTIONS"),
           QStringLiteral("suppressions=") + QStringLiteral(LEAK_SUPPRESSIONS));

    QProcess helper;
    helper.setProcessEnvironment(env);
    QStringList arguments{mode};
    if (mode == QLatin1String("program"))
        arguments << folder.path();
    helper.start(QStringLiteral(END_HELPER), arguments);
    QVERIFY2(helper.waitForFinished(240000), "the helper did not end");
    const QString err = QString::fromLocal8Bit(helper.readAllStandardError());
    const bool endedWell = helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0;
    const bool reported = err.contains(QLatin1String("LeakSanitizer: detected memory leaks"));

    if (leaks) {
        QVERIFY2(reported, qPrintable(err));
        // The report names the blocks the helper dropped, not some other allocation.
        QVERIFY2(err.contains(QLatin1String("dropBlocks")), qPrintable(err));
        QVERIFY2(!endedWell, "a process with a leak report ended as if all was well");
    } else {
        QVERIFY2(!err.contains(QLatin1String("LeakSanitizer")), qPrintable(err));
        QVERIFY2(endedWell, qPrintable(err));
    }
}

QTEST_GUILESS_MAIN(tst_EndLeakCheck)
#include "tst_endleakcheck.moc"
