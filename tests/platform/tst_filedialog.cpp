#include "platform/FileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

class tst_filedialog : public QObject {
    Q_OBJECT

private slots:
    // The dialog opens centred over the window that asked for it, frame over frame, moved
    // no further than needed to lie whole on the screen. Wherever it opens, it is as wide
    // as its columns need within the screen.
    void opensOverItsOwner_data()
    {
        QTest::addColumn<QRect>("owner"); // relative to the available area
        QTest::addColumn<int>("kind");
        QTest::newRow("save, over a window in the middle")
            << QRect(150, 200, 500, 400) << int(rt::FileDialogRequest::Save);
        QTest::newRow("open, over a window in the middle")
            << QRect(150, 200, 500, 400) << int(rt::FileDialogRequest::Open);
        QTest::newRow("over a window lower right")
            << QRect(430, 460, 360, 300) << int(rt::FileDialogRequest::Save);
        QTest::newRow("over a window partly off the upper left")
            << QRect(-120, -60, 360, 300) << int(rt::FileDialogRequest::Save);
    }
    void opensOverItsOwner()
    {
        QFETCH(QRect, owner);
        QFETCH(int, kind);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget main;
        main.setGeometry(owner.translated(screen.topLeft()));
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTemporaryDir dir;
        rt::FileDialogRequest request;
        request.kind = rt::FileDialogRequest::Kind(kind);
        request.filter = QStringLiteral("Text (*.txt)|*.txt");
        request.initialDir = dir.path();

        QRect placed;
        QRect around;
        bool columnsShown = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            placed = dialog->frameGeometry();
            around = main.frameGeometry();
            auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            columnsShown = files->header()->length() <= files->viewport()->width() ||
                           placed.width() >= screen.width();
            dialog->reject();
        });
        QVERIFY(!rt::ShowFileDialog(request));
        QVERIFY(placed.isValid());

        QVERIFY2(screen.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                         .arg(placed.x())
                                                         .arg(placed.y())
                                                         .arg(placed.width())
                                                         .arg(placed.height())));
        QVERIFY(columnsShown);
        // Centred over the owner, then kept whole on the screen.
        QRect wanted(QPoint(0, 0), placed.size());
        wanted.moveCenter(around.center());
        wanted.moveRight(qMin(wanted.right(), screen.right()));
        wanted.moveBottom(qMin(wanted.bottom(), screen.bottom()));
        wanted.moveLeft(qMax(wanted.left(), screen.left()));
        wanted.moveTop(qMax(wanted.top(), screen.top()));
        const QPoint off = placed.topLeft() - wanted.topLeft();
        QVERIFY2(qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2,
                 qPrintable(QStringLiteral("at %1,%2, %3,%4 off where it belongs")
                                .arg(placed.x())
                                .arg(placed.y())
                                .arg(off.x())
                                .arg(off.y())));
    }

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
