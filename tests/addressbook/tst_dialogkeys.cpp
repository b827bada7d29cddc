// The address book's dialogs with real message boxes and file dialogs, answered with real
// key events: a key of a box or file dialog answers it and never reaches the dialog behind
// it, and that dialog then does what its own command does, once.

#include "addressbook/frmGroup_Edit.h"
#include "addressbook/frmGroup_Organize.h"
#include "addressbook/frmMember_Criteria.h"
#include "addressbook/frmMember_Export.h"
#include "addressbook/frmMember_Find.h"
#include "addressbook/frmMember_List.h"
#include "addressbook/frmMobileFilter.h"
#include "addressbook/mdlGroups.h"
#include "app/Main.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "platform/AxButton.h"
#include "platform/Cp1253.h"
#include "platform/ListView.h"
#include "platform/Recordset.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "tests/support/Fixture.h"
#include "tests/support/RealKeys.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using testsupport::mainWindow;
using testsupport::RealWindows;

namespace {

const QString blankNameBox =
    QStringLiteral("box: Δεν μπορείτε να καταχωρήσετε την ομάδα χωρίς όνομα.");
const QString notFoundBox = QStringLiteral("box: Δεν βρέθηκαν μέλη με τα στοιχεία που δώσατε.");

// The window shown and holding the keyboard, as a click on it leaves it.
bool activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Presses one key on a control of a window that has the keyboard.
void pressOn(QWidget* control, int key)
{
    control->setFocus();
    RealWindows::pressKeys(*control->window(), {key});
}

QStringList groupNames(frmGroup_Organize& w)
{
    QStringList out;
    for (rt::Node n = w.Groups()->Nodes().Item(1).Child(); n; n = n.Next())
        out << n.Text();
    return out;
}

QStringList mobiles()
{
    return testsupport::columnTexts(
        QStringLiteral("SELECT mobile_no FROM members ORDER BY member_id"));
}

} // namespace

class tst_dialogkeys : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

private slots:
    void init()
    {
        // Real boxes, real file dialogs, real modal loops.
        QVERIFY2(m_fx.start({.controlLibrary = true, .boxes = false}), qPrintable(m_fx.error()));
        testsupport::addGroup(1, QStringLiteral("Φίλοι"), 0);
        testsupport::addMember(1, QStringLiteral("Παπαδόπουλος"), QStringLiteral("Νίκος"),
                               QStringLiteral("Γιατρός"), QStringLiteral("0944111111"),
                               QStringLiteral("\\1\\"));
        testsupport::addMember(2, QStringLiteral("Αλεξίου"), QStringLiteral("Νίκη"), QVariant(),
                               QStringLiteral("0944222"), QVariant());
        testsupport::addMember(3, QStringLiteral("Βασιλείου"), QVariant(), QVariant(),
                               QStringLiteral("6944333333"), QVariant());
        mdlDataBase::SwallowNextKey = 0;
        QVERIFY(activate(mainWindow()));
    }
    void cleanup()
    {
        m_fx.stop();
        mdlGroups::ClearSearchCriteria();
    }

    // Escape in the export's save dialog cancels that dialog only: nothing is written and
    // the export dialog stays; a name typed there and Enter write that file.
    void memberExportSaveDialogKeepsItsKeys_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("Escape") << false;
        QTest::newRow("name and Enter") << true;
    }
    void memberExportSaveDialogKeepsItsKeys()
    {
        QFETCH(bool, save);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = QDir(dir.path()).filePath(QStringLiteral("μέλη"));
        RealWindows windows;
        bool openAfterSaveDialog = false;
        QString written;
        windows.thenClosed([&](QWidget& dialog) {
            // Εξαγωγή, pressed with the keyboard.
            pressOn(static_cast<frmMember_Export&>(dialog).cmdExport(), Qt::Key_Space);
            openAfterSaveDialog =
                mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Export")) && dialog.isVisible();
            written = static_cast<frmMember_Export&>(dialog).ExportText();
            // The dialog closes only by its own Cancel or Escape.
            RealWindows::pressKeys(dialog, {Qt::Key_Escape});
        });
        windows.thenClosed([&](QWidget& files) {
            if (save) {
                RealWindows::typeText(files, path);
                RealWindows::pressKeys(files, {Qt::Key_Return});
            } else {
                RealWindows::pressKeys(files, {Qt::Key_Escape});
            }
        });
        mainWindow().mnExport_Click();
        QCOMPARE(windows.shown(), (QStringList{QStringLiteral("frmMember_Export"),
                                               QStringLiteral("file: Εξαγωγή Στοιχείων")}));
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
        QVERIFY(openAfterSaveDialog);
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Export")));
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        if (save) {
            QCOMPARE(files, QStringList{QStringLiteral("μέλη.txt")});
            QCOMPARE(testsupport::fileBytes(path + QStringLiteral(".txt")),
                     rt::cp1253::fromUnicode(written));
        } else {
            QVERIFY(files.isEmpty());
        }
    }

    // Exporting again to the same file: one key answers the overwrite question, and the
    // export writes once.
    void memberExportOverwriteQuestionTakesOneKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("Enter answers Yes") << int(Qt::Key_Return) << true;
        QTest::newRow("Escape answers No") << int(Qt::Key_Escape) << false;
    }
    void memberExportOverwriteQuestionTakesOneKey()
    {
        QFETCH(int, key);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = QDir(dir.path()).filePath(QStringLiteral("members.txt"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old\r\n");
        old.close();
        RealWindows windows;
        QString written;
        windows.thenClosed([&](QWidget& dialog) {
            pressOn(static_cast<frmMember_Export&>(dialog).cmdExport(), Qt::Key_Space);
            written = static_cast<frmMember_Export&>(dialog).ExportText();
            RealWindows::pressKeys(dialog, {Qt::Key_Escape});
        });
        windows.thenClosed([&](QWidget& files) {
            RealWindows::typeText(files, path);
            RealWindows::pressKeys(files, {Qt::Key_Return});
        });
        windows.thenClosed([key](QWidget& box) { RealWindows::pressKeys(box, {key}); });
        // No asks for another name: the save dialog again, cancelled.
        if (!replaced)
            windows.thenClosed(
                [](QWidget& files) { RealWindows::pressKeys(files, {Qt::Key_Escape}); });
        mainWindow().mnExport_Click();
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
        QCOMPARE(windows.boxTexts().size(), 1);
        QVERIFY(windows.boxTexts().first().startsWith(QStringLiteral("Το αρχείο με όνομα")));
        QCOMPARE(windows.shown().size(), replaced ? 3 : 4);
        QCOMPARE(testsupport::fileBytes(path),
                 replaced ? rt::cp1253::fromUnicode(written) : QByteArray("old\r\n"));
    }

    // Enter on a focused command button presses it where the dialog leaves Enter to its
    // controls (the group name dialog outside its name box, the copy dialog); where the
    // dialog takes Enter to move on, it moves on from the button too, and the button's
    // command does not run.
    void enterOnAFocusedButton_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("movesTo"); // empty: the button is pressed
        QTest::newRow("group name, Cancel")
            << QStringLiteral("frmGroup_Edit") << QStringLiteral("cmdCancel") << QString();
        QTest::newRow("copy to group, Cancel")
            << QStringLiteral("frmCopyToTeam") << QStringLiteral("cmdCancel") << QString();
        QTest::newRow("export, Εξαγωγή")
            << QStringLiteral("frmMember_Export") << QStringLiteral("cmdExport")
            << QStringLiteral("cmdCancel");
        QTest::newRow("criteria, ΟΚ") << QStringLiteral("frmMember_Criteria")
                                      << QStringLiteral("cmdOK") << QStringLiteral("cmdClear");
        QTest::newRow("rewrite, Αλλαγή Αριθμού")
            << QStringLiteral("frmMobileFilter") << QStringLiteral("cmdOK")
            << QStringLiteral("cmdCancel");
        QTest::newRow("find, Εύρεση") << QStringLiteral("frmMember_Find")
                                      << QStringLiteral("cmdFind") << QStringLiteral("cmdCancel");
    }
    void enterOnAFocusedButton()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        QFETCH(QString, movesTo);
        const bool modeless =
            dialog == QLatin1String("frmMobileFilter") || dialog == QLatin1String("frmMember_Find");
        mainWindow().mnGroupOrganize_Click();
        QString focusAfter;
        bool loadedAfter = false;
        const auto enter = [&](QWidget& shown) {
            auto* pressed = shown.findChild<QPushButton*>(button);
            QVERIFY(pressed);
            pressOn(pressed, Qt::Key_Return);
            loadedAfter = mdlDataBase::IsFormLoaded(dialog);
            focusAfter =
                QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            // A dialog that is still there closes by its own Escape.
            if (loadedAfter)
                RealWindows::pressKeys(shown, {Qt::Key_Escape});
        };
        RealWindows windows;
        if (modeless) {
            if (dialog == QLatin1String("frmMobileFilter"))
                mainWindow().mnChangeCompanyCode_Click();
            else
                mainWindow().mn_FindMembers_Click();
            rt::Form* shown = rt::Forms::findByName(dialog);
            QVERIFY(shown);
            QVERIFY(activate(*shown));
            // Pressed, the button would ask (the rewrite) or report (the find).
            if (auto* find = qobject_cast<frmMember_Find*>(shown))
                find->Text_0()->setText(QStringLiteral("Ζαχ"));
            if (auto* rewrite = qobject_cast<frmMobileFilter*>(shown)) {
                rewrite->txtCode()->setText(QStringLiteral("0944"));
                rewrite->txtNewCode()->setText(QStringLiteral("0945"));
            }
            enter(*shown);
            QCOMPARE(windows.shown(), QStringList());
        } else {
            windows.thenClosed(enter);
            if (dialog == QLatin1String("frmGroup_Edit")) {
                mainWindow().mn_NewGroup_Click();
            } else if (dialog == QLatin1String("frmCopyToTeam")) {
                mainWindow().mn_CopyToGroup_Click();
            } else if (dialog == QLatin1String("frmMember_Export")) {
                mainWindow().mnExport_Click();
            } else {
                mainWindow().mnMemberList_Click();
                rt::Forms::get<frmMember_List>()
                    .Toolbar()
                    ->Button(QStringLiteral("btnCriteria"))
                    ->click();
            }
            // Nothing but the dialog: no save dialog, no box.
            QCOMPARE(windows.shown(), QStringList{dialog});
        }
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(loadedAfter, !movesTo.isEmpty());
        if (!movesTo.isEmpty())
            QCOMPARE(focusAfter, movesTo);
        QVERIFY(!mdlDataBase::IsFormLoaded(dialog));
        QCOMPARE(groupNames(rt::Forms::get<frmGroup_Organize>()),
                 QStringList{QStringLiteral("Φίλοι")});
        QCOMPARE(mobiles().first(), QStringLiteral("0944111111"));
    }

    // Enter on the title bar's close button "X" closes the docked window as its click does:
    // the organiser with unsaved changes asks first; Cancel keeps it docked with them, No
    // closes it without saving.
    void enterOnTheTitleBarsCloseButton_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("no changes") << false << 0 << true;
        QTest::newRow("changes, Cancel") << true << int(QMessageBox::Cancel) << false;
        QTest::newRow("changes, No") << true << int(QMessageBox::No) << true;
    }
    void enterOnTheTitleBarsCloseButton()
    {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        mainWindow().mnGroupOrganize_Click();
        frmGroup_Organize& w = rt::Forms::get<frmGroup_Organize>();
        if (changed) {
            QString key;
            w.UpdateGroup(QStringLiteral("GRP_0"), key, QStringLiteral("Συνάδελφοι"));
            QVERIFY(w.Toolbar()->Button(QStringLiteral("btnSave"))->isEnabled());
        }
        auto* close = w.findChild<rt::AxButton*>(QStringLiteral("cmdClose"));
        QVERIFY(close);
        RealWindows windows;
        windows.thenClosed([answer](QWidget& box) {
            auto* question = qobject_cast<QMessageBox*>(&box);
            QVERIFY(question);
            question->button(QMessageBox::StandardButton(answer))->setFocus();
            RealWindows::pressKeys(box, {Qt::Key_Return});
        });
        pressOn(close, Qt::Key_Return);
        QCOMPARE(windows.boxTexts(),
                 changed ? QStringList{QStringLiteral("Έχετε κάνει αλλαγές σε κάποιες ομάδες ή σε "
                                                      "κάποια μέλη.\nΘέλετε να τις αποθηκεύσετε;")}
                         : QStringList());
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(mdlDataBase::IsFormLoaded(QStringLiteral("frmGroup_Organize")), !closes);
        if (!closes)
            QCOMPARE(groupNames(w),
                     (QStringList{QStringLiteral("Φίλοι"), QStringLiteral("Συνάδελφοι")}));
        // Nothing was saved.
        QCOMPARE(testsupport::columnTexts(QStringLiteral("SELECT group_name FROM groups")),
                 QStringList{QStringLiteral("Φίλοι")});
    }

    // The member dialog's occupation holds what was typed: the beginning of a stored
    // occupation is stored as typed, not completed to that occupation.
    void typedOccupationIsStoredAsTyped()
    {
        testsupport::addMember(4, QStringLiteral("Δημητρίου"), QStringLiteral("Άννα"),
                               QStringLiteral("Λογιστής Α"), QStringLiteral("6944444444"),
                               QVariant());
        mainWindow().mnMemberList_Click();
        RealWindows windows;
        QString held;
        windows.thenClosed([&held](QWidget& dialog) {
            dialog.findChild<QWidget*>(QStringLiteral("txtPhone"))->setFocus();
            RealWindows::typeText(dialog, QStringLiteral("6955555555"));
            auto* occupation = dialog.findChild<QComboBox*>(QStringLiteral("cmbOccup"));
            QVERIFY(occupation);
            occupation->setFocus();
            RealWindows::typeText(dialog, QStringLiteral("Λογιστής"));
            held = occupation->currentText();
            // Enter moves on in this dialog; Space presses the focused OK.
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->setFocus();
            RealWindows::pressKeys(dialog, {Qt::Key_Space});
        });
        rt::Forms::get<frmMember_List>().Toolbar()->Button(QStringLiteral("btnNew"))->click();
        QCOMPARE(windows.shown(), QStringList{QStringLiteral("frmMember_Edit")});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(held, QStringLiteral("Λογιστής"));
        QCOMPARE(testsupport::columnTexts(QStringLiteral(
                     "SELECT Occupation FROM members WHERE mobile_no = '6955555555'")),
                 QStringList{QStringLiteral("Λογιστής")});
    }

    // The group name dialog's refusal of an empty name: Enter shows the box once, one key
    // closes it, and the dialog then unloads without a new group.
    void groupNameRefusalBoxTakesOneKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void groupNameRefusalBoxTakesOneKey()
    {
        QFETCH(int, key);
        mainWindow().mnGroupOrganize_Click();
        frmGroup_Organize* organiser = rt::Forms::find<frmGroup_Organize>();
        QVERIFY(organiser);
        RealWindows windows;
        windows.thenClosed([](QWidget& dialog) {
            // The proposed name is selected: Delete empties the box.
            RealWindows::pressKeys(dialog, {Qt::Key_Delete, Qt::Key_Return});
        });
        windows.thenClosed([key](QWidget& box) { RealWindows::pressKeys(box, {key}); });
        mainWindow().mn_NewGroup_Click();
        QCOMPARE(windows.shown(), (QStringList{QStringLiteral("frmGroup_Edit"), blankNameBox}));
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmGroup_Edit")));
        QCOMPARE(groupNames(*organiser), QStringList{QStringLiteral("Φίλοι")});
        QVERIFY(!organiser->HasPendingChanges());
        QCOMPARE(mdlDataBase::SwallowNextKey, 0);
    }

    // Escape in the display criteria, then a new group: the name typed there keeps its
    // first letter.
    void escapeInTheCriteriaLeavesNoSwallowedKey()
    {
        mainWindow().mnMemberList_Click();
        frmMember_List* list = rt::Forms::find<frmMember_List>();
        QVERIFY(list);
        RealWindows windows;
        windows.thenClosed(
            [](QWidget& criteria) { RealWindows::pressKeys(criteria, {Qt::Key_Escape}); });
        QString typed;
        windows.thenClosed([&typed](QWidget& dialog) {
            RealWindows::typeText(dialog, QStringLiteral("Abc"));
            typed = static_cast<frmGroup_Edit&>(dialog).txtName()->Text();
            RealWindows::pressKeys(dialog, {Qt::Key_Return});
        });
        list->Toolbar()->Button(QStringLiteral("btnCriteria"))->click();
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Criteria")));
        mainWindow().mnGroupOrganize_Click();
        frmGroup_Organize* organiser = rt::Forms::find<frmGroup_Organize>();
        QVERIFY(organiser);
        mainWindow().mn_NewGroup_Click();
        QCOMPARE(windows.shown(), (QStringList{QStringLiteral("frmMember_Criteria"),
                                               QStringLiteral("frmGroup_Edit")}));
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QCOMPARE(typed, QStringLiteral("Abc"));
        QCOMPARE(groupNames(*organiser),
                 (QStringList{QStringLiteral("Φίλοι"), QStringLiteral("Abc")}));
    }

    // The prefix rewrite's boxes: Enter gives the default answer (Yes, or OK), Escape
    // answers No (or closes the box); the rewrite dialog stays open for another rewrite.
    void rewriteBoxesTakeOneKey_data()
    {
        QTest::addColumn<QString>("oldCode");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("numbers");
        const QString question = QStringLiteral("ΠΡΟΣΟΧΗ! Πρόκειται να αντικατασταθούν 2 αριθμοί. "
                                                "Η διαδικασία\nαυτή δεν είναι ανατρέψιμη. "
                                                "Θέλετε να συνεχίσετε;");
        const QStringList unchanged{QStringLiteral("0944111111"), QStringLiteral("0944222"),
                                    QStringLiteral("6944333333")};
        QTest::newRow("Enter: Yes")
            << QStringLiteral("0944") << int(Qt::Key_Return)
            << QStringList{question, QStringLiteral("Η λειτουργία τελείωσε επιτυχώς. "
                                                    "Αντικαταστάθηκαν 2 αριθμοί.")}
            << QStringList{QStringLiteral("0945111111"), QStringLiteral("0945222"),
                           QStringLiteral("6944333333")};
        QTest::newRow("Escape: No")
            << QStringLiteral("0944") << int(Qt::Key_Escape) << QStringList{question} << unchanged;
        const QStringList none{
            QStringLiteral("Δεν βρέθηκαν αριθμοί που να αρχίζουν με αυτά τα ψηφία.")};
        QTest::newRow("none found, Enter")
            << QStringLiteral("0999") << int(Qt::Key_Return) << none << unchanged;
        QTest::newRow("none found, Escape")
            << QStringLiteral("0999") << int(Qt::Key_Escape) << none << unchanged;
    }
    void rewriteBoxesTakeOneKey()
    {
        QFETCH(QString, oldCode);
        QFETCH(int, key);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, numbers);
        mainWindow().mnChangeCompanyCode_Click();
        frmMobileFilter* rewrite = rt::Forms::find<frmMobileFilter>();
        QVERIFY(rewrite);
        QVERIFY(activate(*rewrite));
        // Typed as a user types them; Enter moves from the old code to the new one and on
        // to the button, which Space presses.
        rewrite->txtCode()->setFocus();
        RealWindows::typeText(*rewrite, oldCode);
        RealWindows::pressKeys(*rewrite, {Qt::Key_Return});
        QCOMPARE(QApplication::focusWidget(), rewrite->txtNewCode());
        RealWindows::typeText(*rewrite, QStringLiteral("0945"));
        RealWindows::pressKeys(*rewrite, {Qt::Key_Return});
        QCOMPARE(QApplication::focusWidget(), rewrite->cmdOK());
        QCOMPARE(rewrite->txtCode()->Text(), oldCode);
        QCOMPARE(rewrite->txtNewCode()->Text(), QStringLiteral("0945"));

        RealWindows windows;
        for (qsizetype i = 0; i < boxes.size(); ++i)
            windows.thenClosed([key](QWidget& box) { RealWindows::pressKeys(box, {key}); });
        RealWindows::pressKeys(*rewrite, {Qt::Key_Space});
        QCOMPARE(windows.boxTexts(), boxes);
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(windows.unanswered().isEmpty());
        QCOMPARE(mobiles(), numbers);
        QVERIFY(mdlDataBase::IsFormLoaded(QStringLiteral("frmMobileFilter")));
        QVERIFY(rewrite->isVisible());
        QVERIFY(rewrite->cmdOK()->isEnabled());
        QVERIFY(rewrite->cmdCancel()->isEnabled());
    }

    // No member found, in the member list and in the organiser: one key closes the box,
    // and the find dialog stays open for another try, which then finds.
    void findNotFoundBoxTakesOneKey_data()
    {
        QTest::addColumn<bool>("organiser");
        QTest::addColumn<int>("key");
        QTest::newRow("member list, Enter") << false << int(Qt::Key_Return);
        QTest::newRow("member list, Escape") << false << int(Qt::Key_Escape);
        QTest::newRow("organiser, Enter") << true << int(Qt::Key_Return);
        QTest::newRow("organiser, Escape") << true << int(Qt::Key_Escape);
    }
    void findNotFoundBoxTakesOneKey()
    {
        QFETCH(bool, organiser);
        QFETCH(int, key);
        if (organiser)
            mainWindow().mnGroupOrganize_Click();
        else
            mainWindow().mnMemberList_Click();
        rt::ListView* members = organiser ? rt::Forms::get<frmGroup_Organize>().Members()
                                          : rt::Forms::get<frmMember_List>().Members();
        mainWindow().mn_FindMembers_Click();
        frmMember_Find* find = rt::Forms::find<frmMember_Find>();
        QVERIFY(find);
        QVERIFY(activate(*find));
        find->Text_0()->setFocus();
        RealWindows::typeText(*find, QStringLiteral("Ζαχ"));

        RealWindows windows;
        windows.thenClosed([key](QWidget& box) { RealWindows::pressKeys(box, {key}); });
        pressOn(find->cmdFind(), Qt::Key_Space);
        QCOMPARE(windows.shown(), QStringList{notFoundBox});
        QVERIFY2(windows.leftOpen().isEmpty(), qPrintable(windows.leftOpen().join(u'|')));
        QVERIFY(mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Find")));
        QVERIFY(find->isVisible());

        // The keyboard is back on the control that had it, as on the system the program
        // comes from; another try.
        QTRY_COMPARE(QApplication::focusWidget(), find->cmdFind());
        find->Text_0()->setFocus();
        RealWindows::pressKeys(*find, {Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace});
        RealWindows::typeText(*find, QStringLiteral("Αλε"));
        QCOMPARE(find->Text_0()->Text(), QStringLiteral("Αλε"));
        pressOn(find->cmdFind(), Qt::Key_Space);
        QCOMPARE(windows.shown().size(), 1);
        QVERIFY(!mdlDataBase::IsFormLoaded(QStringLiteral("frmMember_Find")));
        QStringList selected;
        for (const rt::ListItem item : members->ListItems()) {
            if (item.Selected())
                selected << item.Text();
        }
        QCOMPARE(selected, QStringList{QStringLiteral("Αλεξίου")});
    }
};

QTEST_MAIN(tst_dialogkeys)
#include "tst_dialogkeys.moc"
