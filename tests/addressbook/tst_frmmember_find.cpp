#include "addressbook/MemberWindow.h"
#include "addressbook/PhoneField.h"
#include "addressbook/frmMember_Find.h"
#include "addressbook/mdlGroups.h"
#include "app/ChildFormCollection.h"
#include "app/mdlMainDocking.h"
#include "platform/TextBox.h"
#include "tests/support/Fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {

// Stands in for a docked address-book window: it writes down each search and, as the
// member list does, upper-cases the surname, first name and occupation in place.
class DockedStandIn : public rt::Form, public MemberWindow {
public:
    explicit DockedStandIn(const QString& name) : rt::Form(name) {}

    void MemberEdited(const QString&, const QString&, const QString&, const QString&,
                      const QString&, const QString&) override
    {
    }
    void FindMembers(QString& LName, QString& FName, QString& Phone, QString& Occup) override
    {
        searches.append(QStringList{LName, FName, Phone, Occup});
        LName = LName.toUpper();
        FName = FName.toUpper();
        Occup = Occup.toUpper();
    }

    QList<QStringList> searches;
};

} // namespace

class tst_frmmember_find : public QObject {
    Q_OBJECT

    std::unique_ptr<DockedStandIn> m_docked;

    DockedStandIn& dock(const QString& name)
    {
        m_docked = std::make_unique<DockedStandIn>(name);
        mdlMain::ChildForms().Add(*m_docked, name);
        return *m_docked;
    }

private slots:
    void cleanup()
    {
        rt::Forms::discardAll();
        if (m_docked)
            mdlMain::ChildForms().Remove(m_docked->Name());
        m_docked.reset();
        mdlGroups::ClearSearchCriteria();
    }

    void showsTheRememberedValuesOnTopWithoutBeingModal()
    {
        mdlGroups::SearchLastName = QStringLiteral("ΠΑΠ");
        mdlGroups::SearchFirstName = QStringLiteral("Νίκος");
        mdlGroups::SearchPhone = QStringLiteral("694");
        mdlGroups::SearchOccupation = QStringLiteral("Γιατρός");
        frmMember_Find& dialog = rt::Forms::get<frmMember_Find>();
        dialog.SearchMember();
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.isModal());
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Εύρεση Μελών"));
        QCOMPARE(dialog.Text_0()->Text(), QStringLiteral("ΠΑΠ"));
        QCOMPARE(dialog.Text_1()->Text(), QStringLiteral("Νίκος"));
        QCOMPARE(dialog.txtPhone()->Text(), QStringLiteral("694"));
        QCOMPARE(dialog.cmbOccup()->currentText(), QStringLiteral("Γιατρός"));
        QCOMPARE(dialog.cmbOccup()->count(), 0);
        QCOMPARE(dialog.Text_0()->MaxLength(), 40);
        QCOMPARE(dialog.Text_1()->MaxLength(), 20);
        QCOMPARE(dialog.cmdFind()->text(), QStringLiteral("Εύρεση"));
        QCOMPARE(dialog.cmdCancel()->text(), QStringLiteral("Ακύρωση"));
        dialog.grab().save(testsupport::picturePath(QStringLiteral("frmMember_Find.png")));
    }

    void findPassesTheRememberedValuesToTheDockedWindow_data()
    {
        QTest::addColumn<QString>("docked");
        QTest::addColumn<bool>("called");
        QTest::newRow("organiser") << QStringLiteral("frmGroup_Organize") << true;
        QTest::newRow("member list") << QStringLiteral("frmMember_List") << true;
        QTest::newRow("other window") << QStringLiteral("frmMessage_Edit") << false;
        QTest::newRow("nothing docked") << QString() << false;
    }
    void findPassesTheRememberedValuesToTheDockedWindow()
    {
        QFETCH(QString, docked);
        QFETCH(bool, called);
        DockedStandIn* window = docked.isEmpty() ? nullptr : &dock(docked);
        frmMember_Find& dialog = rt::Forms::get<frmMember_Find>();
        dialog.SearchMember();
        dialog.Text_0()->setText(QStringLiteral("παπ"));
        dialog.Text_1()->setText(QStringLiteral("νί"));
        dialog.txtPhone()->setText(QStringLiteral("  694 ")); // pasted with blanks
        dialog.cmbOccup()->setEditText(QStringLiteral("γιατ"));
        dialog.cmdFind()->click();

        if (window)
            QCOMPARE(window->searches.size(), called ? 1 : 0);
        if (called) {
            QCOMPARE(window->searches.first(),
                     (QStringList{QStringLiteral("παπ"), QStringLiteral("νί"),
                                  QStringLiteral("694"), QStringLiteral("γιατ")}));
            // The window changed the remembered values themselves.
            QCOMPARE(mdlGroups::SearchLastName, QStringLiteral("ΠΑΠ"));
            QCOMPARE(mdlGroups::SearchOccupation, QStringLiteral("ΓΙΑΤ"));
        } else {
            QCOMPARE(mdlGroups::SearchLastName, QStringLiteral("παπ"));
        }
        QCOMPARE(mdlGroups::SearchFirstName, called ? QStringLiteral("ΝΊ") : QStringLiteral("νί"));
        QCOMPARE(mdlGroups::SearchPhone, QStringLiteral("694"));
        // The dialog stays open; only the docked window closes it after a match.
        QVERIFY(rt::Forms::find<frmMember_Find>());

        // The next opening shows the values as they are now remembered.
        rt::Forms::unload<frmMember_Find>();
        frmMember_Find& again = rt::Forms::get<frmMember_Find>();
        again.SearchMember();
        QCOMPARE(again.Text_0()->Text(), mdlGroups::SearchLastName);
        QCOMPARE(again.txtPhone()->Text(), QStringLiteral("694"));
    }

    void enterMovesOnAndEscapeCloses()
    {
        frmMember_Find& dialog = rt::Forms::get<frmMember_Find>();
        dialog.SearchMember();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.Text_0()->setFocus();
        QTest::keyClick(dialog.Text_0(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.Text_1());
        QCOMPARE(dialog.Text_0()->Text(), QString());
        QTest::keyClick(dialog.Text_1(), Qt::Key_Escape);
        QVERIFY(!rt::Forms::find<frmMember_Find>());
    }

    void cancelCloses()
    {
        frmMember_Find& dialog = rt::Forms::get<frmMember_Find>();
        dialog.SearchMember();
        dialog.cmdCancel()->click();
        QVERIFY(!rt::Forms::find<frmMember_Find>());
    }
};

QTEST_MAIN(tst_frmmember_find)
#include "tst_frmmember_find.moc"
