#include "addressbook/frmGroup_Edit.h"
#include "addressbook/frmGroup_Organize.h"
#include "app/Main.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "platform/Err.h"
#include "platform/TextBox.h"
#include "platform/TreeView.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

using testsupport::ModalScript;
using testsupport::ScriptedMessageBoxes;

class tst_frmgroup_edit : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

    frmGroup_Organize& organiser()
    {
        frmGroup_Organize& w = rt::Forms::get<frmGroup_Organize>();
        w.show();
        return w;
    }
    // The names of the groups under the root, in order.
    QStringList groupNames(frmGroup_Organize& w)
    {
        QStringList out;
        for (rt::Node n = w.Groups()->Nodes().Item(1).Child(); n; n = n.Next())
            out << n.Text();
        return out;
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true}), qPrintable(m_fx.error()));
        testsupport::addGroup(1, QStringLiteral("Φίλοι"), 0);
        rt::Forms::get<frmMain>().show();
        mdlDataBase::SwallowNextKey = 0;
    }
    void cleanup() { m_fx.stop(); }

    void aNewGroupIsProposedAndEnterAcceptsIt()
    {
        frmGroup_Organize& w = organiser();
        ModalScript modal;
        modal.then([](rt::Form& form) {
            auto& dialog = static_cast<frmGroup_Edit&>(form);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Δημιουργία Νέας Ομάδας"));
            QCOMPARE(dialog.Label1()->text(), QStringLiteral("Ονομασία"));
            QCOMPARE(dialog.cmdOK()->text(), QStringLiteral("ΟΚ"));
            QCOMPARE(int(dialog.cmdOK()->text().at(0).unicode()), 0x039F);
            QCOMPARE(dialog.cmdCancel()->text(), QStringLiteral("Άκυρο"));
            QCOMPARE(dialog.txtName()->Text(), QStringLiteral("Νέα Ομάδα"));
            QCOMPARE(dialog.txtName()->SelText(), QStringLiteral("Νέα Ομάδα"));
            dialog.txtName()->setFocus();
            QTest::keyClick(dialog.txtName(), Qt::Key_Return);
        });
        w.NewGroup();
        QCOMPARE(groupNames(w),
                 (QStringList{QStringLiteral("Φίλοι"), QStringLiteral("Νέα Ομάδα")}));
        QVERIFY(!rt::Forms::find<frmGroup_Edit>());
        // The Enter that accepted the name reaches nothing after it.
        QCOMPARE(mdlDataBase::SwallowNextKey, 0);
    }

    void aRenameShowsTheNameUnderTheDesignedCaption()
    {
        frmGroup_Organize& w = organiser();
        w.Groups()->setSelectedItem(w.Groups()->Nodes().Item(QStringLiteral("GRP_1")));
        ModalScript modal;
        modal.then([](rt::Form& form) {
            auto& dialog = static_cast<frmGroup_Edit&>(form);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Διόρθωση Στοιχείων Ομάδας"));
            QCOMPARE(dialog.txtName()->SelText(), QStringLiteral("Φίλοι"));
            dialog.txtName()->setText(QStringLiteral("  Παλιοί φίλοι"));
            dialog.cmdOK()->click();
        });
        w.EditGroup();
        // Leading blanks are kept as typed.
        QCOMPARE(groupNames(w), QStringList{QStringLiteral("  Παλιοί φίλοι")});
    }

    void aNameOfBlanksIsRefusedAndTheDialogCloses()
    {
        frmGroup_Organize& w = organiser();
        ModalScript modal;
        modal.then([](rt::Form& form) {
            auto& dialog = static_cast<frmGroup_Edit&>(form);
            dialog.txtName()->setText(QStringLiteral("   "));
            dialog.cmdOK()->click();
        });
        w.NewGroup();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QCOMPARE(m_fx.boxes().shown().first().text,
                 QStringLiteral("Δεν μπορείτε να καταχωρήσετε την ομάδα χωρίς όνομα."));
        QCOMPARE(m_fx.boxes().shown().first().title, QStringLiteral("ΚΑΤΑΧΩΡΗΣΗ ΟΜΑΔΑΣ"));
        QCOMPARE(m_fx.boxes().shown().first().style, int(rt::mb::Exclamation));
        QVERIFY(!rt::Forms::find<frmGroup_Edit>());
        QCOMPARE(groupNames(w), QStringList{QStringLiteral("Φίλοι")});
        QVERIFY(!w.HasPendingChanges());
    }

    void escapeAndCancelChangeNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("escape") << true;
        QTest::newRow("cancel") << false;
    }
    void escapeAndCancelChangeNothing()
    {
        QFETCH(bool, escape);
        frmGroup_Organize& w = organiser();
        ModalScript modal;
        modal.then([escape](rt::Form& form) {
            auto& dialog = static_cast<frmGroup_Edit&>(form);
            dialog.txtName()->setText(QStringLiteral("Άλλη"));
            if (escape) {
                dialog.txtName()->setFocus();
                QTest::keyClick(dialog.txtName(), Qt::Key_Escape);
            } else {
                dialog.cmdCancel()->click();
            }
        });
        w.NewGroup();
        QVERIFY(!rt::Forms::find<frmGroup_Edit>());
        QCOMPARE(groupNames(w), QStringList{QStringLiteral("Φίλοι")});
        QVERIFY(!w.HasPendingChanges());
    }
};

QTEST_MAIN(tst_frmgroup_edit)
#include "tst_frmgroup_edit.moc"
