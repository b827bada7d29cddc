#include "platform/FolderLock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

// The hold a running program keeps on its folder: one holder at a time, and nothing left
// behind by a holder that ended in any way.
class tst_folderlock : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    void oneHolderAtATime()
    {
        QTemporaryDir other;
        QVERIFY(other.isValid());
        const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden);
        {
            const rt::FolderLock first(m_dir->path());
            QVERIFY(first.isHeld());
            QVERIFY(!first.inUse());

            const rt::FolderLock second(m_dir->path());
            QVERIFY(!second.isHeld());
            QVERIFY(second.inUse());
            // The same folder by another path is the same folder.
            const rt::FolderLock again(m_dir->path() + QStringLiteral("/./"));
            QVERIFY(again.inUse());

            const rt::FolderLock elsewhere(other.path());
            QVERIFY(elsewhere.isHeld());
        }
        const rt::FolderLock afterwards(m_dir->path());
        QVERIFY(afterwards.isHeld());
        // Nothing is written into the folder.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    // Neither held nor in use: a start goes on as it would without the hold.
    void aFolderThatCannotBeLocked()
    {
        const QString missing = m_dir->filePath(QStringLiteral("gone"));
        const rt::FolderLock lock(missing);
        QVERIFY(!lock.isHeld());
        QVERIFY(!lock.inUse());
        QVERIFY(!QFile::exists(missing));
    }

    // A program killed while it runs leaves the folder free for the next start.
    void aKilledHolderLeavesNothingHeld()
    {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const QString folder = m_dir->path();
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(ready[0]);
            const rt::FolderLock held(folder);
            const char answer = held.isHeld() ? 'y' : 'n';
            if (::write(ready[1], &answer, 1) == 1) {
                for (;;)
                    ::pause();
            }
            ::_exit(1);
        }
        ::close(ready[1]);
        char answer = 0;
        const bool told = ::read(ready[0], &answer, 1) == 1;
        ::close(ready[0]);
        const bool usedWhileAlive = rt::FolderLock(folder).inUse();
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        QVERIFY(told);
        QCOMPARE(answer, 'y');
        QVERIFY(usedWhileAlive);
        QVERIFY(WIFSIGNALED(status));
        QVERIFY(rt::FolderLock(folder).isHeld());
    }

    // A program started by the holder (the calculator, the text editor) does not keep the
    // folder once the holder has ended.
    void programsItStartsDoNotKeepIt()
    {
        QProcess started;
        {
            const rt::FolderLock held(m_dir->path());
            QVERIFY(held.isHeld());
            started.start(QStringLiteral("sleep"), {QStringLiteral("30")});
            QVERIFY(started.waitForStarted());
        }
        const rt::FolderLock next(m_dir->path());
        started.kill();
        started.waitForFinished();
        QVERIFY(next.isHeld());
    }
};

QTEST_MAIN(tst_folderlock)
#include "tst_folderlock.moc"
