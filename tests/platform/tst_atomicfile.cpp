#include "platform/AtomicFile.h"
#include "platform/StorageSteps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// What the folder holds at each step of a write, as a kill there would leave it.
struct SeenAtSteps {
    QString target;
    QStringList atBeforeRename;
    QStringList atAfterRename;
};
SeenAtSteps* g_seen = nullptr;

QStringList folderState(const QString& target) {
    const QFileInfo info(target);
    QStringList state;
    for (const QString& name : QDir(info.absolutePath())
                                   .entryList(QDir::Files | QDir::Hidden, QDir::Name))
        state << (name.startsWith(QLatin1String(".data.bin.")) ? QStringLiteral("<temporary>")
                                                                : name) +
                     QLatin1Char('=') + QString::fromLatin1(contents(info.dir().filePath(name)));
    return state;
}

void noteStep(rt::StorageStep step) {
    if (step == rt::StorageStep::BeforeRename)
        g_seen->atBeforeRename = folderState(g_seen->target);
    else if (step == rt::StorageStep::AfterRename)
        g_seen->atAfterRename = folderState(g_seen->target);
}

} // namespace

class tst_atomicfile : public QObject {
    Q_OBJECT
private slots:
    void failuresInTheRuntimesWords_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::newRow("no space") << ENOSPC << 61 << "Disk full";
        QTest::newRow("file too large") << EFBIG << 61 << "Disk full";
        QTest::newRow("quota") << EDQUOT << 61 << "Disk full";
        QTest::newRow("device failure") << EIO << 57 << "Device I/O error";
        QTest::newRow("no permission") << EACCES << 75 << "Path/File access error";
        QTest::newRow("read-only file system") << EROFS << 75 << "Path/File access error";
        QTest::newRow("a folder") << EISDIR << 75 << "Path/File access error";
        QTest::newRow("no such folder") << ENOENT << 75 << "Path/File access error";
    }
    void failuresInTheRuntimesWords() {
        QFETCH(int, error);
        QFETCH(int, number);
        QFETCH(QString, description);
        const rt::FileWriteResult result = rt::WriteFailure(error);
        QVERIFY(!result.ok);
        QCOMPARE(result.number, number);
        QCOMPARE(result.description, description);
    }

    void createsAndReplaces() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.bin"));
        QVERIFY(rt::ReplaceFile(path, QByteArray("first, longer")));
        QCOMPARE(contents(path), QByteArray("first, longer"));
        QVERIFY(rt::ReplaceFile(path, QByteArray("2nd")));
        QCOMPARE(contents(path), QByteArray("2nd"));
        QCOMPARE(entries(dir), QStringList{QStringLiteral("data.bin")});
    }

    void stepsSeeWhatAKillWouldLeave() {
        QTemporaryDir dir;
        SeenAtSteps seen{dir.filePath(QStringLiteral("data.bin")), {}, {}};
        put(seen.target, "old");
        g_seen = &seen;
        rt::storageStepHook = noteStep;
        const bool ok = bool(rt::ReplaceFile(seen.target, QByteArray("new")));
        rt::storageStepHook = nullptr;
        g_seen = nullptr;
        QVERIFY(ok);
        QCOMPARE(seen.atBeforeRename,
                 (QStringList{QStringLiteral("<temporary>=new"), QStringLiteral("data.bin=old")}));
        QCOMPARE(seen.atAfterRename, QStringList{QStringLiteral("data.bin=new")});
    }

    // What a killed write left beside the file goes with the next write; names that are not
    // the writer's own stay.
    void leftoversOfItsOwnAreRemoved() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.bin"));
        put(path, "old");
        for (const char* leftover : {".data.bin.1k2j3h", ".data.bin.0", ".data.bin.zzzzzzz"})
            put(dir.filePath(QLatin1String(leftover)), "half");
        const QStringList others = {
            QStringLiteral(".data.bin."),     QStringLiteral(".data.bin.ABC"),
            QStringLiteral(".data.bin.a-b"),  QStringLiteral(".data.bin.12345678"),
            QStringLiteral(".data.binx.abc"), QStringLiteral(".other.bin.abc"),
            QStringLiteral("data.bin.abc")};
        for (const QString& name : others)
            put(dir.filePath(name), "keep");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral(".data.bin.dir1")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("data.bin.abc")),
                            dir.filePath(QStringLiteral(".data.bin.link1"))));

        QVERIFY(rt::ReplaceFile(path, QByteArray("new")));

        QStringList expected = others;
        expected << QStringLiteral(".data.bin.dir1") << QStringLiteral(".data.bin.link1")
                 << QStringLiteral("data.bin");
        expected.sort();
        QStringList left = entries(dir);
        left.sort();
        QCOMPARE(left, expected);
        QCOMPARE(contents(path), QByteArray("new"));
    }

    // A temporary file whose write is still at work in another process is locked; only
    // once its writer is gone is it a leftover.
    void aTemporaryFileInUseIsLeftAlone() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.bin"));
        const QString other = dir.filePath(QStringLiteral(".data.bin.abc"));
        put(other, "another write");
        const int fd = ::open(QFile::encodeName(other).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX), 0);
        const bool first = bool(rt::ReplaceFile(path, QByteArray("new")));
        const bool kept = QFileInfo::exists(other);
        ::close(fd);
        QVERIFY(first);
        QVERIFY(kept);
        QVERIFY(rt::ReplaceFile(path, QByteArray("newer")));
        QVERIFY(!QFileInfo::exists(other));
    }

    void newFileFollowsUmask() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.bin"));
        const mode_t mask = ::umask(027);
        const bool ok = bool(rt::ReplaceFile(path, QByteArray("x")));
        ::umask(mask);
        QVERIFY(ok);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0640));
    }

    void keepsModeBits() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kept.bin"));
        put(path, "old");
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0604), 0);
        QVERIFY(rt::ReplaceFile(path, QByteArray("new")));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0604));
    }

    void writesThroughLink() {
        QTemporaryDir dir;
        const QString real = dir.filePath(QStringLiteral("real.bin"));
        const QString link = dir.filePath(QStringLiteral("link.bin"));
        put(real, "old");
        QVERIFY(QFile::link(real, link));
        QVERIFY(rt::ReplaceFile(link, QByteArray("new")));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(real), QByteArray("new"));
    }

    void directoryIsNotReplaced() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("folder"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const rt::FileWriteResult result = rt::ReplaceFile(path, QByteArray("x"));
        QVERIFY(!result.ok);
        QCOMPARE(result.number, 75);
        QVERIFY(QFileInfo(path).isDir());
    }

    void missingFolderFails() {
        QTemporaryDir dir;
        const rt::FileWriteResult result =
            rt::ReplaceFile(dir.filePath(QStringLiteral("no/such/file")), QByteArray("x"));
        QVERIFY(!result.ok);
        QCOMPARE(result.number, 75);
    }

    // The file-size limit binds root too, so a full disk is made without one; SIGXFSZ
    // is ignored so that the write fails instead of ending the test.
    void fullDiskKeepsOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.bin"));
        put(path, "old contents");
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before;
        limit.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const rt::FileWriteResult result = rt::ReplaceFile(path, QByteArray(1000, 'n'));
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!result.ok);
        QCOMPARE(result.number, 61);
        QCOMPARE(result.description, QStringLiteral("Disk full"));
        QCOMPARE(contents(path), QByteArray("old contents"));
        QCOMPARE(entries(dir), QStringList{QStringLiteral("data.bin")});
    }
};

QTEST_APPLESS_MAIN(tst_atomicfile)
#include "tst_atomicfile.moc"
