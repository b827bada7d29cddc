#include "platform/FileDialog.h"
#include "platform/MonthView.h"
#include "platform/MultiLineTextBox.h"
#include "platform/TextBox.h"
#include "resources/QtTexts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
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
};

// The file dialog keeps its state in the user's settings: here, in a folder of the test.
int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication application(argc, argv);
    tst_qttexts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qttexts.moc"
