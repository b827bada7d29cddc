#include "app/PopupMenuControl.h"
#include "platform/Err.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QStringList visibleCaptions(const PopupMenuControl& control)
{
    QStringList captions;
    for (QAction* item : control.mnPopup()->actions()) {
        if (item->isVisible())
            captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    return captions;
}

} // namespace

class tst_popupmenucontrol : public QObject {
    Q_OBJECT

private slots:
    void freshControlShowsItsDesignItem()
    {
        PopupMenuControl control;
        QCOMPARE(control.ItemCount(), 0);
        QCOMPARE(control.mnPopup()->title(), QStringLiteral("Popup Menu"));
        QCOMPARE(visibleCaptions(control), QStringList{QStringLiteral("sub menu 0")});
        QVERIFY(control.isHidden());
    }

    void itemsShowInTheOrderAdded()
    {
        PopupMenuControl control;
        control.AddMenuItem(QStringLiteral("mnEdit"), QStringLiteral("Διόρθωση"));
        control.AddMenuItem(QStringLiteral("mnSep"), QStringLiteral("-"));
        control.AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
        QCOMPARE(visibleCaptions(control),
                 (QStringList{QStringLiteral("Διόρθωση"), QStringLiteral("-"),
                              QStringLiteral("Διαγραφή")}));
    }

    // Drawn, the separator is the same line as the menu system's own separator, with no
    // "-" beside it, and it carries no text for the accessibility tree either.
    void aSeparatorIsDrawnAsTheLineAlone()
    {
        PopupMenuControl control;
        control.AddMenuItem(QStringLiteral("mnEdit"), QStringLiteral("Διόρθωση"));
        control.AddMenuItem(QStringLiteral("mnSep"), QStringLiteral("-"));
        control.AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
        QMenu reference;
        reference.addAction(QStringLiteral("Διόρθωση"));
        reference.addSeparator();
        reference.addAction(QStringLiteral("Διαγραφή"));

        const auto drawn = [](QMenu& menu, QAction* separator) {
            menu.resize(menu.sizeHint());
            const QRect line = menu.actionGeometry(separator);
            return line.isEmpty() ? QImage() : menu.grab(line).toImage();
        };
        QMenu* menu = control.mnPopup();
        QCOMPARE(menu->sizeHint(), reference.sizeHint());
        const QImage got = drawn(*menu, control.submenu(1));
        QVERIFY(!got.isNull());
        QCOMPARE(got, drawn(reference, reference.actions().at(1)));
        QCOMPARE(control.submenu(1)->text(), QString());
    }

    void theSixteenthItemFails()
    {
        PopupMenuControl control;
        for (int i = 0; i < PopupMenuControl::ItemSlots; ++i)
            control.AddMenuItem(QStringLiteral("mn%1").arg(i), QStringLiteral("Εντολή %1").arg(i));
        QCOMPARE(control.ItemCount(), 15);
        try {
            control.AddMenuItem(QStringLiteral("mnMore"), QStringLiteral("Μία ακόμη"));
            QFAIL("a sixteenth item must fail");
        } catch (const rt::RuntimeError& error) {
            QCOMPARE(error.number(), 340);
        }
        QCOMPARE(control.ItemCount(), 15);
        QCOMPARE(visibleCaptions(control).size(), 15);
    }

    void theFirstItemOfANameCounts()
    {
        PopupMenuControl control;
        control.AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Πρώτο"));
        control.AddMenuItem(QStringLiteral("mnOther"), QStringLiteral("Άλλο"));
        control.AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Δεύτερο"));
        control.SetMenuCheck(QStringLiteral("mnDelete"), true);
        control.setMenuState(QStringLiteral("mnDelete"), false);
        QVERIFY(control.submenu(0)->isChecked());
        QVERIFY(!control.submenu(0)->isEnabled());
        QVERIFY(!control.submenu(2)->isChecked());
        QVERIFY(control.submenu(2)->isEnabled());
        QVERIFY(control.GetMenuCheck(QStringLiteral("mnDelete")));
        QVERIFY(!control.MenuState(QStringLiteral("mnDelete")));
        QVERIFY(control.MenuState(QStringLiteral("mnOther")));
    }

    void namesMatchExactly_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::newRow("other case") << "mndelete";
        QTest::newRow("never added") << "mnNothing";
        QTest::newRow("design item's empty name") << "";
    }
    void namesMatchExactly()
    {
        QFETCH(QString, asked);
        PopupMenuControl control;
        control.AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
        control.SetMenuCheck(QStringLiteral("mnDelete"), true);
        control.SetMenuCheck(asked, false);
        control.setMenuState(asked, false);
        QVERIFY(!control.GetMenuCheck(asked));
        QVERIFY(!control.MenuState(asked));
        QVERIFY(control.GetMenuCheck(QStringLiteral("mnDelete")));
        QVERIFY(control.MenuState(QStringLiteral("mnDelete")));
    }

    void choosingReportsTheNameAndKeepsTheCheck_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::newRow("checked") << true;
        QTest::newRow("unchecked") << false;
    }
    void choosingReportsTheNameAndKeepsTheCheck()
    {
        QFETCH(bool, checked);
        PopupMenuControl control;
        control.AddMenuItem(QStringLiteral("mnFlash"), QStringLiteral("Flash"));
        control.SetMenuCheck(QStringLiteral("mnFlash"), checked);
        QSignalSpy clicks(&control, &PopupMenuControl::Click);
        control.submenu(0)->trigger();
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.first().at(0).toString(), QStringLiteral("mnFlash"));
        QCOMPARE(clicks.first().at(1).toBool(), checked);
        QCOMPARE(control.GetMenuCheck(QStringLiteral("mnFlash")), checked);
        QCOMPARE(control.submenu(0)->isChecked(), checked);
    }

    void showPopupMenuReturnsWithTheChoice()
    {
        PopupMenuControl control;
        control.AddMenuItem(QStringLiteral("mnEdit"), QStringLiteral("Διόρθωση"));
        control.AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
        QSignalSpy clicks(&control, &PopupMenuControl::Click);
        QMenu* menu = control.mnPopup();
        bool wasOpen = false;
        QTimer::singleShot(0, this, [&] {
            wasOpen = menu->isVisible();
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              menu->actionGeometry(control.submenu(1)).center());
        });
        control.ShowPopupMenu();
        QVERIFY(wasOpen);
        QVERIFY(!menu->isVisible());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.first().at(0).toString(), QStringLiteral("mnDelete"));
    }

    void choosingASeparatorRaisesNothing()
    {
        PopupMenuControl control;
        control.AddMenuItem(QStringLiteral("mnEdit"), QStringLiteral("Διόρθωση"));
        control.AddMenuItem(QStringLiteral("mnSep"), QStringLiteral("-"));
        control.AddMenuItem(QStringLiteral("mnDelete"), QStringLiteral("Διαγραφή"));
        QSignalSpy clicks(&control, &PopupMenuControl::Click);
        QMenu* menu = control.mnPopup();
        QTimer::singleShot(0, this, [&] {
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              menu->actionGeometry(control.submenu(1)).center());
        });
        // Whether the click closed the menu or left it open, nothing was chosen.
        QTimer::singleShot(500, menu, &QMenu::close);
        control.ShowPopupMenu();
        QCOMPARE(clicks.size(), 0);
        // Triggered from code, a separator still reports nothing.
        control.submenu(1)->trigger();
        QCOMPARE(clicks.size(), 0);
    }
};

QTEST_MAIN(tst_popupmenucontrol)
#include "tst_popupmenucontrol.moc"
