#include "platform/App.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {
void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class tst_textfile : public QObject {
    Q_OBJECT
private slots:
    void linesAreCrLfInTheGreekPage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.txt"));
        QVERIFY(rt::AppendLine(path, QStringLiteral("Σφάλμα")));
        QVERIFY(rt::AppendLine(path, QStringLiteral("b")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xD3\xF6\xDC\xEB\xEC\xE1\r\nb\r\n"));
    }

    void lineInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lone cr") << QByteArray("a\rb") << QStringList{"a", "b"};
        QTest::newRow("lone lf stays") << QByteArray("a\nb\r\n") << QStringList{"a\nb"};
        QTest::newRow("empty line") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
    }
    void lineInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        rt::LineReader reader;
        reader.setData(bytes);
        QStringList read;
        while (!reader.atEnd())
            read << reader.readLine();
        QCOMPARE(read, lines);
    }

    void fieldInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("commas") << QByteArray("1,22,333") << QStringList{"1", "22", "333"};
        QTest::newRow("lines") << QByteArray("1\r\n22\r\n") << QStringList{"1", "22"};
        QTest::newRow("blanks before") << QByteArray("  1,   2") << QStringList{"1", "2"};
        QTest::newRow("quoted comma") << QByteArray("\"a,b\",c") << QStringList{"a,b", "c"};
        QTest::newRow("quoted break") << QByteArray("\"a\r\nb\",c") << QStringList{"a\r\nb", "c"};
        QTest::newRow("empty field") << QByteArray("1,,2") << QStringList{"1", "", "2"};
        QTest::newRow("only separators") << QByteArray("\r\n\r\n") << QStringList{};
    }
    void fieldInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        rt::FieldReader reader;
        reader.setData(bytes);
        QStringList read;
        while (!reader.atEnd())
            read << reader.readField();
        QCOMPARE(read, fields);
    }

    // The lines replace the file in one step: a write that fails (here the file-size
    // limit stands for a full disk; SIGXFSZ ignored so that the write fails instead of
    // ending the test) leaves the old file whole and says what failed.
    void writeLinesReplacesTheFileOrKeepsIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lines.txt"));
        QVERIFY(rt::WriteLines(path, {QStringLiteral("old")}));

        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before;
        limit.rlim_cur = 16;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const rt::FileWriteResult full =
            rt::WriteLines(path, {QStringLiteral("Σφάλμα"), QString(40, u'x')});
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!full);
        QCOMPARE(full.number, 61);
        QCOMPARE(full.description, QStringLiteral("Disk full"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("lines.txt")});

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old\r\n"));
        file.close();
        QVERIFY(rt::WriteLines(path, {QStringLiteral("Σφάλμα"), QStringLiteral("b")}));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xD3\xF6\xDC\xEB\xEC\xE1\r\nb\r\n"));
    }

    void fileExists()
    {
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("TESTMODE.TST")), "x");
        writeBytes(dir.filePath(QStringLiteral(".hidden")), "x");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QVERIFY(rt::FileExists(dir.filePath(QStringLiteral("TESTMODE.TST"))));
        QVERIFY(rt::FileExists(dir.filePath(QStringLiteral("*.TST"))));
        QVERIFY(rt::FileExists(dir.filePath(QStringLiteral("TESTMODE.?ST"))));
        QVERIFY(!rt::FileExists(dir.filePath(QStringLiteral("*.LOG"))));
        QVERIFY(!rt::FileExists(QString()));
        QVERIFY(!rt::FileExists(dir.filePath(QStringLiteral("sub"))));
        QVERIFY(!rt::FileExists(dir.path()));
        QVERIFY(!rt::FileExists(dir.filePath(QStringLiteral(".hidden"))));
        QVERIFY(!rt::FileExists(dir.filePath(QStringLiteral("missing/x.txt"))));
    }

    void programFolderFilesIgnoreCase()
    {
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("ERROR.LOG")), "x");
        rt::App::setPath(dir.path());
        QCOMPARE(rt::App::file(QStringLiteral("Error.LOG")), dir.filePath(QStringLiteral("ERROR.LOG")));
        QCOMPARE(rt::App::file(QStringLiteral("none.txt")), dir.filePath(QStringLiteral("none.txt")));
        rt::App::setPath(QString());
    }
};

QTEST_GUILESS_MAIN(tst_textfile)
#include "tst_textfile.moc"
