#include "addressbook/frmMember_Criteria.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "platform/Err.h"
#include "platform/TextBox.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

using testsupport::addGroup;

class tst_frmmember_criteria : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    static QStringList entries(const QListWidget* list)
    {
        QStringList out;
        for (int row = 0; row < list->count(); ++row)
            out << list->item(row)->text() + QLatin1Char('=') +
                       list->item(row)->data(Qt::UserRole).toString();
        return out;
    }
    static QStringList selected(const QListWidget* list)
    {
        QStringList out;
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->isSelected())
                out << list->item(row)->text();
        }
        return out;
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start(), qPrintable(m_fx.error()));
        addGroup(3, QStringLiteral("Φίλοι"), 0);
        addGroup(7, QStringLiteral("Γείτονες"), 3); // a subgroup, listed flat
        addGroup(9, QStringLiteral("Αγορά"), 0);
        addGroup(12, QStringLiteral("Φίλοι"), 9); // the same name again
    }
    void cleanup() { m_fx.stop(); }

    void listsEveryGroupByName()
    {
        frmMember_Criteria& dialog = rt::Forms::get<frmMember_Criteria>();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Κριτήρια Εμφάνισης Μελών"));
        QCOMPARE(entries(dialog.lstGroups()),
                 (QStringList{QStringLiteral("Αγορά=9"), QStringLiteral("Γείτονες=7"),
                              QStringLiteral("Φίλοι=3"), QStringLiteral("Φίλοι=12")}));
        QCOMPARE(dialog.cmdOK()->text(), QStringLiteral("\u039F\u039A"));
        QCOMPARE(dialog.cmdClear()->text(), QStringLiteral("Καθαρισμός Φόρμας"));
        QCOMPARE(dialog.cmdCancel()->text(), QStringLiteral("Άκυρο"));
        dialog.show();
        dialog.grab().save(testsupport::picturePath(QStringLiteral("frmMember_Criteria.png")));
    }

    void showsTheGivenCriteria()
    {
        frmMember_Criteria& dialog = rt::Forms::get<frmMember_Criteria>();
        // Group 5 is gone meanwhile: it is not shown, and the id list no longer holds it.
        dialog.SetCriteria(QStringLiteral("Παπ"), QStringLiteral("Νί"), QStringLiteral("Γιατ"),
                           QStringLiteral("694"), QStringLiteral("12,5,7"));
        QCOMPARE(dialog.txtLastName()->Text(), QStringLiteral("Παπ"));
        QCOMPARE(dialog.txtFirstName()->Text(), QStringLiteral("Νί"));
        QCOMPARE(dialog.txtOccup()->Text(), QStringLiteral("Γιατ"));
        QCOMPARE(dialog.txtPhone()->Text(), QStringLiteral("694"));
        QCOMPARE(selected(dialog.lstGroups()),
                 (QStringList{QStringLiteral("Γείτονες"), QStringLiteral("Φίλοι")}));
        QCOMPARE(dialog.SelectedGroupIds(), QStringLiteral("7,12"));
    }

    void aClickTogglesOneGroup()
    {
        frmMember_Criteria& dialog = rt::Forms::get<frmMember_Criteria>();
        dialog.show();
        QListWidget* list = dialog.lstGroups();
        const auto click = [list](int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        };
        click(0);
        click(2);
        QCOMPARE(dialog.SelectedGroupIds(), QStringLiteral("9,3"));
        click(0);
        QCOMPARE(dialog.SelectedGroupIds(), QStringLiteral("3"));
    }

    void clearEmptiesTheFormAndKeepsItOpen()
    {
        frmMember_Criteria& dialog = rt::Forms::get<frmMember_Criteria>();
        dialog.SetCriteria(QStringLiteral("Παπ"), QStringLiteral("Νί"), QStringLiteral("Γιατ"),
                           QStringLiteral("694"), QStringLiteral("3,9"));
        dialog.cmdClear()->click();
        for (rt::TextBox* box :
             {dialog.txtLastName(), dialog.txtFirstName(), dialog.txtOccup(), dialog.txtPhone()})
            QCOMPARE(box->Text(), QString());
        QCOMPARE(dialog.SelectedGroupIds(), QString());
        QVERIFY(rt::Forms::find<frmMember_Criteria>());
    }

    void okWithoutADockedMemberListOnlyCloses()
    {
        frmMember_Criteria& dialog = rt::Forms::get<frmMember_Criteria>();
        dialog.cmdOK()->click();
        QVERIFY(!rt::Forms::find<frmMember_Criteria>());
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void enterMovesOnAndEscapeCloses()
    {
        frmMember_Criteria& dialog = rt::Forms::get<frmMember_Criteria>();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.txtLastName()->setFocus();
        QTest::keyClick(dialog.txtLastName(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.txtFirstName());
        QTest::keyClick(dialog.txtFirstName(), Qt::Key_Escape);
        QVERIFY(!rt::Forms::find<frmMember_Criteria>());
    }
};

QTEST_MAIN(tst_frmmember_criteria)
#include "tst_frmmember_criteria.moc"
