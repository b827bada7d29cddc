#include "platform/FileDialog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_filedialog : public QObject {
    Q_OBJECT

private slots:
    // Anything at the chosen path that a write would replace counts, hidden files (every
    // name that begins with a dot) and links too; a folder or nothing does not.
    void chosenFileExists_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("exists");
        QTest::newRow("a file") << "plain.txt" << true;
        QTest::newRow("a hidden file") << ".hidden.txt" << true;
        QTest::newRow("a hidden file without extension") << ".hidden" << true;
        QTest::newRow("another letter case") << "PLAIN.TXT" << false;
        QTest::newRow("nothing there") << "missing.txt" << false;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("a link to a file") << "link.txt" << true;
        QTest::newRow("a link to nothing") << "dangling.txt" << true;
        QTest::newRow("in a missing folder") << "missing/plain.txt" << false;
        QTest::newRow("a wildcard") << "*.txt" << false;
        QTest::newRow("no path") << "" << false;
    }
    void chosenFileExists()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char* name : {"plain.txt", ".hidden.txt", ".hidden"}) {
            QFile file(dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("plain.txt")),
                            dir.filePath(QStringLiteral("link.txt"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone.txt")),
                            dir.filePath(QStringLiteral("dangling.txt"))));
        QCOMPARE(rt::ChosenFileExists(chosen.isEmpty() ? chosen : dir.filePath(chosen)), exists);
    }
};

QTEST_MAIN(tst_filedialog)
#include "tst_filedialog.moc"
