#include "addressbook/MemberWindow.h"
#include "addressbook/PhoneField.h"
#include "addressbook/frmMember_Edit.h"
#include "app/ChildFormCollection.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "platform/Err.h"
#include "platform/TextBox.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {

// Stands in for a docked address-book window and writes down what it is told.
class DockedStandIn : public rt::Form, public MemberWindow {
public:
    explicit DockedStandIn(const QString& name) : rt::Form(name) {}

    void MemberEdited(const QString& MemberKey, const QString& GroupKey, const QString& LastName,
                      const QString& FirstName, const QString& Occupation,
                      const QString& Phone) override
    {
        edits.append(QStringList{MemberKey, GroupKey, LastName, FirstName, Occupation, Phone});
        if (fail)
            rt::Raise(19, QStringLiteral("constraint failed"), QStringLiteral("SQLite"));
    }
    void FindMembers(QString&, QString&, QString&, QString&) override {}

    QList<QStringList> edits;
    bool fail = false;
};

// A docked window that is not an address-book window.
class OtherWindow : public rt::Form {
public:
    explicit OtherWindow(const QString& name) : rt::Form(name) {}
};

void typeText(QWidget* box, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

using testsupport::exec;

class tst_frmmember_edit : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    std::unique_ptr<rt::Form> m_docked;

    void addMember(const QVariant& last, const QVariant& occupation = QVariant())
    {
        exec(QStringLiteral("INSERT INTO members (LastName, Occupation, mobile_no) "
                            "VALUES (?, ?, '6900000000')"),
             {last, occupation});
    }
    template <class W> W& dock(const QString& name)
    {
        auto* window = new W(name);
        m_docked.reset(window);
        mdlMain::ChildForms().Add(*window, name);
        return *window;
    }
    frmMember_Edit& openNew()
    {
        frmMember_Edit& dialog = rt::Forms::get<frmMember_Edit>();
        dialog.EditMember(QString(), QString(), QString(), QString(), QString(), QString());
        return dialog;
    }

private slots:
    void init() { QVERIFY2(m_fx.start(), qPrintable(m_fx.error())); }
    void cleanup()
    {
        if (m_docked)
            mdlMain::ChildForms().Remove(m_docked->Name());
        m_docked.reset();
        m_fx.stop();
    }

    void looksAsDesigned()
    {
        frmMember_Edit& dialog = rt::Forms::get<frmMember_Edit>();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Διόρθωση Στοιχείων Μέλους"));
        QCOMPARE(dialog.lblInst1()->text(),
                 QStringLiteral("Συμπληρώστε τα στοιχεία του μέλους. Το πεδίο \"Αρ. Κινητού\" "
                                "είναι υποχρεωτικό."));
        QCOMPARE(dialog.cmdOK()->text(), QStringLiteral("\u039F\u039A"));
        QCOMPARE(dialog.cmdCancel()->text(), QStringLiteral("Ακύρωση"));
        QCOMPARE(dialog.Text_0()->MaxLength(), 40);
        QCOMPARE(dialog.Text_1()->MaxLength(), 20);
        QCOMPARE(dialog.txtPhone()->MaxLength(), 0);
        QVERIFY(dialog.cmbOccup()->isEditable());
        for (const char* name : {"Text_0", "Text_1", "txtPhone", "cmbOccup", "cmdOK", "cmdCancel"})
            QVERIFY2(dialog.findChild<QWidget*>(QString::fromLatin1(name)), name);
        // Tab order: surname, first name, mobile, occupation, OK, Cancel.
        QCOMPARE(dialog.Text_0()->nextInFocusChain(), dialog.Text_1());
        QCOMPARE(dialog.Text_1()->nextInFocusChain(), dialog.txtPhone());
        dialog.show();
        dialog.grab().save(testsupport::picturePath(QStringLiteral("frmMember_Edit.png")));
    }

    void proposesTheNextMemberNumber_data()
    {
        QTest::addColumn<QStringList>("surnames");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("empty table") << QStringList() << QStringLiteral("Μέλος 1");
        QTest::newRow("no such names")
            << QStringList{QStringLiteral("Παπάς"), QStringLiteral("Μέλη 4")}
            << QStringLiteral("Μέλος 1");
        QTest::newRow("3 and 12") << QStringList{QStringLiteral("Μέλος 3"),
                                                 QStringLiteral("Μέλος 12")}
                                  << QStringLiteral("Μέλος 13");
        QTest::newRow("letters skipped")
            << QStringList{QStringLiteral("Μέλος 2"), QStringLiteral("Μέλος Α"),
                           QStringLiteral("Μέλος 7"), QStringLiteral("Μέλος Β"),
                           QStringLiteral("Μέλος 7α")}
            << QStringLiteral("Μέλος 8");
        QTest::newRow("any letter case")
            << QStringList{QStringLiteral("μέλος 20")} << QStringLiteral("Μέλος 21");
        QTest::newRow("signs and leading zeros")
            << QStringList{QStringLiteral("Μέλος +009"), QStringLiteral("Μέλος -40"),
                           QStringLiteral("Μέλος 0")}
            << QStringLiteral("Μέλος 10");
        // Past the largest 64-bit number the count goes on in decimal, never negative.
        QTest::newRow("largest 64-bit number")
            << QStringList{QStringLiteral("Μέλος 9223372036854775807"), QStringLiteral("Μέλος 5")}
            << QStringLiteral("Μέλος 9223372036854775808");
        QTest::newRow("beyond 64 bits")
            << QStringList{QStringLiteral("Μέλος 99999999999999999999"),
                           QStringLiteral("Μέλος 18446744073709551616")}
            << QStringLiteral("Μέλος 100000000000000000000");
        // The surname box holds 40 characters: a number it could not hold whole is
        // not proposed cut short.
        QTest::newRow("no room for the next number")
            << QStringList{QStringLiteral("Μέλος ") + QString(34, QLatin1Char('9'))}
            << QString();
        QTest::newRow("just room for the next number")
            << QStringList{QStringLiteral("Μέλος ") + QString(33, QLatin1Char('9'))}
            << QStringLiteral("Μέλος 1") + QString(33, QLatin1Char('0'));
    }
    void proposesTheNextMemberNumber()
    {
        QFETCH(QStringList, surnames);
        QFETCH(QString, proposed);
        for (const QString& name : surnames)
            addMember(name);
        frmMember_Edit& dialog = openNew();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Εισαγωγή Νέου Μέλους"));
        QCOMPARE(dialog.Text_0()->Text(), proposed);
        QCOMPARE(dialog.Text_0()->selectedText(), proposed);
        QCOMPARE(dialog.Text_1()->Text(), QString());
        QCOMPARE(dialog.txtPhone()->Text(), QString());
        QVERIFY(!dialog.cmdOK()->isEnabled());
    }

    void existingMemberShowsItsFields()
    {
        addMember(QStringLiteral("Παπάς"), QStringLiteral("Γιατρός"));
        frmMember_Edit& dialog = rt::Forms::get<frmMember_Edit>();
        dialog.EditMember(QStringLiteral("7"), QString(), QStringLiteral("Παπάς"),
                          QStringLiteral("Νίκος"), QStringLiteral("Γιατρός"),
                          QStringLiteral("6944000000"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Διόρθωση Στοιχείων Μέλους"));
        QCOMPARE(dialog.Text_0()->Text(), QStringLiteral("Παπάς"));
        QCOMPARE(dialog.Text_1()->Text(), QStringLiteral("Νίκος"));
        QCOMPARE(dialog.txtPhone()->Text(), QStringLiteral("6944000000"));
        QCOMPARE(dialog.cmbOccup()->currentText(), QStringLiteral("Γιατρός"));
        // Nothing changed yet: OK waits for a change.
        QVERIFY(!dialog.cmdOK()->isEnabled());
    }

    void occupationListHoldsEachStoredOccupationOnce()
    {
        addMember(QStringLiteral("α"), QStringLiteral("Μηχανικός"));
        addMember(QStringLiteral("β"), QStringLiteral("Γιατρός"));
        addMember(QStringLiteral("γ"), QStringLiteral("Μηχανικός"));
        addMember(QStringLiteral("δ"), QVariant());
        frmMember_Edit& dialog = openNew();
        QStringList entries;
        for (int i = 0; i < dialog.cmbOccup()->count(); ++i)
            entries << dialog.cmbOccup()->itemText(i);
        QCOMPARE(entries,
                 (QStringList{QString(), QStringLiteral("Γιατρός"), QStringLiteral("Μηχανικός")}));
        QCOMPARE(dialog.cmbOccup()->currentText(), QString());
    }

    void okNeedsTheMobileNumber()
    {
        frmMember_Edit& dialog = rt::Forms::get<frmMember_Edit>();
        dialog.EditMember(QStringLiteral("3"), QString(), QStringLiteral("Παπάς"), QString(),
                          QString(), QStringLiteral("69"));
        dialog.Text_1()->setText(QStringLiteral("Νίκος"));
        QVERIFY(dialog.cmdOK()->isEnabled());
        dialog.txtPhone()->setText(QString());
        QVERIFY(!dialog.cmdOK()->isEnabled());
        dialog.Text_0()->setText(QString()); // the surname may be empty
        QVERIFY(!dialog.cmdOK()->isEnabled());
        typeText(dialog.txtPhone()->box(), QStringLiteral("6"));
        QCOMPARE(dialog.txtPhone()->Text(), QStringLiteral("6"));
        QVERIFY(dialog.cmdOK()->isEnabled());
    }

    void okCallsBackTheDockedWindow_data()
    {
        QTest::addColumn<QString>("docked");
        QTest::addColumn<bool>("called");
        QTest::newRow("organiser") << QStringLiteral("frmGroup_Organize") << true;
        QTest::newRow("member list") << QStringLiteral("frmMember_List") << true;
        QTest::newRow("other name") << QStringLiteral("frmMessage_Edit") << false;
        QTest::newRow("nothing docked") << QString() << false;
    }
    void okCallsBackTheDockedWindow()
    {
        QFETCH(QString, docked);
        QFETCH(bool, called);
        DockedStandIn* window = docked.isEmpty() ? nullptr : &dock<DockedStandIn>(docked);
        frmMember_Edit& dialog = rt::Forms::get<frmMember_Edit>();
        dialog.EditMember(QStringLiteral("MEMBER_12"), QStringLiteral("GRP_3"),
                          QStringLiteral("Παπάς"), QString(), QString(), QStringLiteral("69"));
        dialog.Text_1()->setText(QStringLiteral("Νίκος"));
        dialog.cmbOccup()->setEditText(QStringLiteral("Ψαράς")); // not in the list
        dialog.cmdOK()->click();
        QVERIFY(!rt::Forms::find<frmMember_Edit>());
        if (window) {
            QCOMPARE(window->edits.size(), called ? 1 : 0);
            if (called)
                QCOMPARE(window->edits.first(),
                         (QStringList{QStringLiteral("MEMBER_12"), QStringLiteral("GRP_3"),
                                      QStringLiteral("Παπάς"), QStringLiteral("Νίκος"),
                                      QStringLiteral("Ψαράς"), QStringLiteral("69")}));
        }
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void windowThatIsNoAddressBookWindowIsNotCalled()
    {
        dock<OtherWindow>(QStringLiteral("frmMember_List"));
        frmMember_Edit& dialog = openNew();
        dialog.txtPhone()->setText(QStringLiteral("69"));
        dialog.cmdOK()->click();
        QVERIFY(!rt::Forms::find<frmMember_Edit>());
    }

    void aFailedWriteIsShownAndTheDialogCloses()
    {
        DockedStandIn& window = dock<DockedStandIn>(QStringLiteral("frmMember_List"));
        window.fail = true;
        frmMember_Edit& dialog = openNew();
        dialog.txtPhone()->setText(QStringLiteral("69"));
        dialog.cmdOK()->click();
        QCOMPARE(window.edits.size(), 1);
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.contains(QStringLiteral("constraint failed")));
        QVERIFY(!rt::Forms::find<frmMember_Edit>());
    }

    void cancelWritesNothing()
    {
        DockedStandIn& window = dock<DockedStandIn>(QStringLiteral("frmMember_List"));
        frmMember_Edit& dialog = openNew();
        dialog.txtPhone()->setText(QStringLiteral("69"));
        dialog.cmdCancel()->click();
        QVERIFY(window.edits.isEmpty());
        QVERIFY(!rt::Forms::find<frmMember_Edit>());
    }

    void enterMovesOnAndEscapeDoesNotClose()
    {
        frmMember_Edit& dialog = openNew();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.Text_0()->setFocus();
        const QString proposed = dialog.Text_0()->Text();
        QTest::keyClick(dialog.Text_0(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.Text_1());
        QCOMPARE(dialog.Text_0()->Text(), proposed);
        QCOMPARE(dialog.Text_1()->Text(), QString());
        QTest::keyClick(dialog.Text_1(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.txtPhone()->box());
        QTest::keyClick(dialog.txtPhone()->box(), Qt::Key_Escape);
        QVERIFY(rt::Forms::find<frmMember_Edit>());
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(tst_frmmember_edit)
#include "tst_frmmember_edit.moc"
