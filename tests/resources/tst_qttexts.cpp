#include "platform/FileDialog.h"
#include "platform/Formats.h"
#include "platform/MonthView.h"
#include "platform/MultiLineTextBox.h"
#include "platform/TextBox.h"
#include "resources/QtTexts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <memory>

namespace {

// The captions of a menu as shown, without the shortcut that follows a tab; a
// separator reads "-".
QStringList captions(const QMenu& menu)
{
    QStringList out;
    for (const QAction* action : menu.actions()) {
        if (action->isVisible())
            out << (action->isSeparator() ? QStringLiteral("-")
                                          : action->text().section(QLatin1Char('\t'), 0, 0));
    }
    return out;
}

// A standard context menu's captions; the menu goes at once.
QStringList captions(QMenu* menu)
{
    const std::unique_ptr<QMenu> owned(menu);
    return captions(*owned);
}

// The context menu that the widget itself pops up on a right click, read while it shows.
QStringList popupCaptions(QWidget* widget)
{
    QStringList seen;
    QTimer::singleShot(0, widget, [&seen] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            seen = captions(*menu);
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &event);
    return seen;
}

const QStringList editMenu = {
    QStringLiteral("&Αναίρεση"), QStringLiteral("&Επανάληψη"), QStringLiteral("-"),
    QStringLiteral("Απο&κοπή"),  QStringLiteral("Αντι&γραφή"), QStringLiteral("Επικό&λληση"),
    QStringLiteral("Διαγραφή"),  QStringLiteral("-"),          QStringLiteral("Επιλογή όλων")};

} // namespace

// The toolkit's own texts as the program shows them: Greek in the context menus of its
// text boxes, the calendar's year box and scroll bars, and in the file dialog.
class tst_qttexts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(resources::InstallQtTexts(*qApp)); }

    void textBoxMenus()
    {
        rt::TextBox box;
        box.setText(QStringLiteral("κείμενο"));
        QCOMPARE(captions(box.createStandardContextMenu()), editMenu);

        rt::MultiLineTextBox multi;
        multi.setPlainText(QStringLiteral("κείμενο"));
        QCOMPARE(captions(multi.createStandardContextMenu()), editMenu);
        multi.setLocked(true);
        QCOMPARE(captions(multi.createStandardContextMenu()),
                 (QStringList{QStringLiteral("Αντι&γραφή"), QStringLiteral("-"),
                              QStringLiteral("Επιλογή όλων")}));
    }

    void calendarAndScrollBarMenus()
    {
        rt::MonthView calendar;
        calendar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&calendar));
        auto* year = calendar.findChild<QSpinBox*>();
        QVERIFY(year);
        year->show();
        // The spin box puts its own select-all and steps under its text box's menu.
        const QStringList spinMenu =
            editMenu.mid(0, 8) + QStringList{QStringLiteral("&Επιλογή όλων"), QStringLiteral("-"),
                                             QStringLiteral("Βήμα &πάνω"),
                                             QStringLiteral("Βήμα &κάτω"), QStringLiteral("-")};
        QCOMPARE(popupCaptions(year), spinMenu);

        QScrollBar bar(Qt::Vertical);
        bar.resize(16, 200);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCOMPARE(popupCaptions(&bar),
                 (QStringList{QStringLiteral("Κύλιση εδώ"), QStringLiteral("-"),
                              QStringLiteral("Αρχή"), QStringLiteral("Τέλος"),
                              QStringLiteral("-"), QStringLiteral("Σελίδα πάνω"),
                              QStringLiteral("Σελίδα κάτω"), QStringLiteral("-"),
                              QStringLiteral("Κύλιση πάνω"), QStringLiteral("Κύλιση κάτω")}));
    }

    // The save dialog as the message export asks for it, shown for real and read while
    // it waits for the user.
    void theSaveDialogSpeaksGreek()
    {
        QTemporaryDir dir;
        rt::FileDialogRequest request;
        request.kind = rt::FileDialogRequest::Save;
        request.filter = QStringLiteral("Text (*.txt)|*.txt");
        request.fileName = QStringLiteral("Προσφορά.txt");
        request.initialDir = dir.path();

        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            const auto label = [dialog](const char* name) {
                const auto* found = dialog->findChild<QLabel*>(QLatin1String(name));
                return found ? found->text() : QStringLiteral("<none>");
            };
            const auto tip = [dialog](const char* name) {
                const auto* found = dialog->findChild<QToolButton*>(QLatin1String(name));
                return found ? found->toolTip() : QStringLiteral("<none>");
            };
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            seen << dialog->windowTitle() << label("lookInLabel") << label("fileNameLabel")
                 << label("fileTypeLabel") << buttons->button(QDialogButtonBox::Save)->text()
                 << buttons->button(QDialogButtonBox::Cancel)->text() << tip("backButton")
                 << tip("forwardButton") << tip("toParentButton") << tip("newFolderButton")
                 << tip("listModeButton") << tip("detailModeButton");
            auto* sidebar = dialog->findChild<QAbstractItemView*>(QStringLiteral("sidebar"));
            seen << sidebar->model()->index(0, 0).data().toString();
            auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            for (int i = 0; i < files->header()->count(); ++i)
                seen << files->model()->headerData(i, Qt::Horizontal).toString();
            seen << dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
            dialog->reject();
        });
        QVERIFY(!rt::ShowFileDialog(request));
        QCOMPARE(seen, (QStringList{QStringLiteral("Αποθήκευση ως"),
                                    QStringLiteral("Αναζήτηση σε:"),
                                    QStringLiteral("Ό&νομα αρχείου:"),
                                    QStringLiteral("Αρχεία τύπου:"),
                                    QStringLiteral("Απο&θήκευση"),
                                    QStringLiteral("Ακύρωση"),
                                    QStringLiteral("Πίσω"),
                                    QStringLiteral("Μπροστά"),
                                    QStringLiteral("Γονικός φάκελος"),
                                    QStringLiteral("Δημιουργία νέου φακέλου"),
                                    QStringLiteral("Προβολή λίστας"),
                                    QStringLiteral("Προβολή λεπτομερειών"),
                                    QStringLiteral("Υπολογιστής"),
                                    QStringLiteral("Όνομα"),
                                    QStringLiteral("Μέγεθος"),
                                    QStringLiteral("Τύπος"),
                                    QStringLiteral("Ημερομηνία τροποποίησης"),
                                    QStringLiteral("Text (*.txt)")}));
    }

    // What the dialog lists of the files, under a machine locale that is not Greek (this
    // test runs under the C locale): sizes and types in Greek, dates as the program writes
    // them, and every column wide enough for its head and its entries.
    void theSaveDialogListsFilesInGreek()
    {
        QTemporaryDir dir;
        QFile text(dir.filePath(QStringLiteral("Προσφορά.txt")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(1536, 'x'));
        text.close();
        QVERIFY(text.open(QIODevice::ReadOnly));
        QVERIFY(text.setFileTime(QDateTime(QDate(2024, 12, 11), QTime(9, 5)),
                                 QFileDevice::FileModificationTime));
        text.close();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Αρχείο")));
        rt::FileDialogRequest request;
        request.kind = rt::FileDialogRequest::Save;
        request.filter = QStringLiteral("Text (*.txt)|*.txt");
        request.initialDir = dir.path();

        QMap<QString, QStringList> rows;
        QStringList cut;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            QAbstractItemModel* model = files->model();
            const auto listed = [&] {
                const QModelIndex root = files->rootIndex();
                return model->rowCount(root) == 2 &&
                       !model->index(0, 2, root).data().toString().isEmpty() &&
                       !model->index(1, 2, root).data().toString().isEmpty();
            };
            if (QTest::qWaitFor(listed, 5000)) {
                const QModelIndex root = files->rootIndex();
                for (int row = 0; row < model->rowCount(root); ++row) {
                    QStringList cells;
                    for (int column = 1; column < 4; ++column)
                        cells << model->index(row, column, root).data().toString();
                    rows.insert(model->index(row, 0, root).data().toString(), cells);
                }
            }
            QHeaderView* header = files->header();
            // Every column shown whole without scrolling, where the screen is wide enough.
            if (header->length() > files->viewport()->width() &&
                dialog->frameGeometry().width() < dialog->screen()->availableGeometry().width())
                cut << QStringLiteral("beyond the view");
            for (int i = 0; i < header->count(); ++i) {
                if (header->sectionSize(i) < header->sectionSizeHint(i) ||
                    header->sectionSize(i) <
                        static_cast<QAbstractItemView*>(files)->sizeHintForColumn(i))
                    cut << model->headerData(i, Qt::Horizontal).toString();
            }
            dialog->reject();
        });
        QVERIFY(!rt::ShowFileDialog(request));
        QCOMPARE(rows.value(QStringLiteral("Προσφορά.txt")),
                 (QStringList{QStringLiteral("1,5 kB"), QStringLiteral("Έγγραφο απλού κειμένου"),
                              QStringLiteral("11/12/2024 09:05")}));
        const QStringList folder = rows.value(QStringLiteral("Αρχείο"));
        QCOMPARE(folder.value(0), QString());
        QCOMPARE(folder.value(1), QStringLiteral("Φάκελος"));
        QVERIFY(rt::ParseShortDate(folder.value(2).section(QLatin1Char(' '), 0, 0)).has_value());
        QCOMPARE(cut, QStringList());
    }

    void fileSizes_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qint64(0) << QStringLiteral("0 byte");
        QTest::newRow("below a kilobyte") << qint64(1023) << QStringLiteral("1.023 byte");
        QTest::newRow("a kilobyte") << qint64(1024) << QStringLiteral("1,0 kB");
        QTest::newRow("below a megabyte")
            << qint64(1024 * 1024 - 1) << QStringLiteral("1.024,0 kB");
        QTest::newRow("megabytes")
            << qint64(5 * 1024 * 1024 + 512 * 1024) << QStringLiteral("5,5 MB");
        QTest::newRow("gigabytes") << (qint64(3) << 30) << QStringLiteral("3,0 GB");
    }
    void fileSizes()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(rt::FileSizeText(bytes), text);
    }
};

// The file dialog keeps its state in the user's settings: here, in a folder of the test.
// The machine's locale is one that is not Greek, as on many a user's machine.
int main(int argc, char** argv)
{
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication application(argc, argv);
    tst_qttexts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qttexts.moc"
