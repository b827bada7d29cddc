#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/PaintPacing.h"
#include "tests/support/Views.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using testsupport::clickRow;
using testsupport::shownSelectedRows;

namespace {

QStringList texts(rt::ListView& list, int column = 0)
{
    QStringList out;
    for (const rt::ListItem& item : list.ListItems())
        out << (column == 0 ? item.Text() : item.SubItems(column));
    return out;
}

QStringList selectedTexts(rt::ListView& list)
{
    QStringList out;
    for (const rt::ListItem& item : list.ListItems()) {
        if (item.Selected())
            out << item.Text();
    }
    return out;
}

QIcon colouredIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class tst_listview : public QObject {
    Q_OBJECT

private slots:
    void keysAreUniqueAndFoundByHash()
    {
        rt::ListView list;
        rt::ListItems items = list.ListItems();
        const rt::ListItem a = items.Add(QStringLiteral("MEMBER_1"), QStringLiteral("Α"));
        QVERIFY(!a.isNull());
        QVERIFY(items.Add(QStringLiteral("MEMBER_1"), QStringLiteral("again")).isNull());
        QCOMPARE(items.Count(), 1);
        // Items without a key are allowed, any number of them.
        QVERIFY(!items.Add(QString(), QStringLiteral("x")).isNull());
        QVERIFY(!items.Add(QString(), QStringLiteral("y")).isNull());
        QCOMPARE(items.Count(), 3);

        QVERIFY(items(QStringLiteral("MEMBER_1")) == a);
        QVERIFY(items(QStringLiteral("MEMBER_2")).isNull());
        QVERIFY(items.Item(0).isNull());
        QVERIFY(items.Item(4).isNull());

        rt::ListItem b = items.Add(QStringLiteral("MEMBER_2"), QStringLiteral("Β"));
        QVERIFY(!b.setKey(QStringLiteral("MEMBER_1")));
        QCOMPARE(b.Key(), QStringLiteral("MEMBER_2"));
        QVERIFY(b.setKey(QStringLiteral("MEMBER_40")));
        QVERIFY(items.Exists(QStringLiteral("MEMBER_40")));
        QVERIFY(!items.Exists(QStringLiteral("MEMBER_2")));
    }

    void removedItemsLeaveNullHandlesAndCloseTheGap()
    {
        rt::ListView list;
        rt::ListItems items = list.ListItems();
        for (int i = 1; i <= 6; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        const rt::ListItem third = items(3);
        const rt::ListItem sixth = items(6);
        // From the last to the first, as the windows delete selected rows.
        for (int i = items.Count(); i >= 1; --i) {
            if (items(i).Text().toInt() % 2 == 1)
                QVERIFY(items.Remove(i));
        }
        QVERIFY(third.isNull());
        QCOMPARE(third.Text(), QStringLiteral("3"));
        QVERIFY(!items.Exists(QStringLiteral("K3")));
        QCOMPARE(texts(list), (QStringList{"2", "4", "6"}));
        QCOMPARE(sixth.Index(), 3);
        QVERIFY(items.Remove(QStringLiteral("K2")));
        QCOMPARE(sixth.Index(), 2);
        QVERIFY(!items.Remove(QStringLiteral("K2")));
        QVERIFY(!items.Remove(third));
        items.Clear();
        QCOMPARE(items.Count(), 0);
        QVERIFY(sixth.isNull());
    }

    void subItemsAndTags()
    {
        rt::ListView list;
        for (const char* name : {"Επίθετο", "Όνομα", "Επάγγελμα", "Κινητό"})
            list.AddColumn(QString::fromUtf8(name), 1500);
        rt::ListItem item = list.ListItems().Add(QStringLiteral("MEMBER_7"), QStringLiteral("Π"));
        item.setSubItems(3, QStringLiteral("6912345678"));
        item.setSubItemTag(1, QStringLiteral("CHANGED"));
        item.setTag(QStringLiteral("\\0\\5\\"));
        QCOMPARE(item.SubItems(1), QString());
        QCOMPARE(item.SubItems(3), QStringLiteral("6912345678"));
        QCOMPARE(item.SubItemTag(1), QStringLiteral("CHANGED"));
        QCOMPARE(item.SubItemTag(2), QString());
        QCOMPARE(item.Tag(), QStringLiteral("\\0\\5\\"));

        list.Refresh();
        QAbstractItemModel* model = list.model();
        QCOMPARE(model->columnCount(), 4);
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Όνομα"));
        QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("6912345678"));
        QCOMPARE(list.ColumnWidth(2), 1500);
    }

    void sortsGreekTextWithoutRegardToCase_data()
    {
        QTest::addColumn<int>("sortKey");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("expected");
        // Code-point order would put the accented capital and every capital before the
        // small letters: Άλφα, Αλφα, Γάμμα, Δέλτα, βήτα, ωμέγα.
        QTest::newRow("text ascending")
            << 0 << int(rt::ListView::lvwAscending)
            << QStringList{"Αλφα", "Άλφα", "βήτα", "Γάμμα", "Δέλτα", "ωμέγα"};
        QTest::newRow("text descending")
            << 0 << int(rt::ListView::lvwDescending)
            << QStringList{"ωμέγα", "Δέλτα", "Γάμμα", "βήτα", "Άλφα", "Αλφα"};
        // Sub-item 1 holds the numbers as text: "10" sorts before "9".
        QTest::newRow("sub-item as text")
            << 1 << int(rt::ListView::lvwAscending)
            << QStringList{"Γάμμα", "ωμέγα", "Άλφα", "βήτα", "Αλφα", "Δέλτα"};
    }
    void sortsGreekTextWithoutRegardToCase()
    {
        QFETCH(int, sortKey);
        QFETCH(int, order);
        QFETCH(QStringList, expected);
        rt::ListView list;
        const QStringList names{"Γάμμα", "Άλφα", "ωμέγα", "βήτα", "Αλφα", "Δέλτα"};
        const QStringList numbers{"1", "3", "10", "5", "7", "9"};
        for (int i = 0; i < names.size(); ++i)
            list.ListItems().Add(QString(), names[i]).setSubItems(1, numbers[i]);
        list.setSortKey(sortKey);
        list.setSortOrder(order);
        list.setSorted(true);
        QCOMPARE(texts(list), expected);
    }

    void equalTextsKeepTheirOrderAndLaterItemsTakeTheirPlace()
    {
        rt::ListView list;
        rt::ListItems items = list.ListItems();
        items.Add(QStringLiteral("a"), QStringLiteral("ΠΑΠΑΣ"));
        items.Add(QStringLiteral("b"), QStringLiteral("Αθανασίου"));
        items.Add(QStringLiteral("c"), QStringLiteral("παπας"));
        list.setSorted(true);
        items.Add(QStringLiteral("d"), QStringLiteral("Βλάχος"));
        QCOMPARE(texts(list), (QStringList{"Αθανασίου", "Βλάχος", "ΠΑΠΑΣ", "παπας"}));
        QCOMPARE(items(QStringLiteral("d")).Index(), 2);
        // Turning sorting off keeps the order; new items go to the end.
        list.setSorted(false);
        items.Add(QStringLiteral("e"), QStringLiteral("Άλφα"));
        QCOMPARE(items(5).Key(), QStringLiteral("e"));
    }

    void findsByTextPartialOrWholeAndByTag_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("where");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("match");
        QTest::addColumn<QString>("found"); // key, empty for none
        const int text = rt::ListView::lvwText;
        const int tag = rt::ListView::lvwTag;
        const int sub = rt::ListView::lvwSubItem;
        const int whole = rt::ListView::lvwWhole;
        const int partial = rt::ListView::lvwPartial;
        QTest::newRow("partial, small letters") << "παπ" << text << 1 << partial << "k2";
        QTest::newRow("partial from a later start") << "παπ" << text << 3 << partial << "k4";
        QTest::newRow("partial is a prefix, not a substring")
            << "δοπ" << text << 1 << partial << "";
        QTest::newRow("whole needs the whole text") << "παπ" << text << 1 << whole << "";
        QTest::newRow("whole, other case") << "βλάχος" << text << 1 << whole << "k3";
        QTest::newRow("tag") << "17" << tag << 1 << whole << "k3";
        QTest::newRow("tag is not text") << "17" << text << 1 << whole << "";
        QTest::newRow("sub-item") << "6977" << sub << 1 << partial << "k4";
    }
    void findsByTextPartialOrWholeAndByTag()
    {
        QFETCH(QString, text);
        QFETCH(int, where);
        QFETCH(int, start);
        QFETCH(int, match);
        QFETCH(QString, found);
        rt::ListView list;
        rt::ListItems items = list.ListItems();
        items.Add(QStringLiteral("k1"), QStringLiteral("Αντωνίου")).setTag(QStringLiteral("3"));
        items.Add(QStringLiteral("k2"), QStringLiteral("ΠΑΠΑΔΟΠΟΥΛΟΣ")).setTag(QStringLiteral("5"));
        items.Add(QStringLiteral("k3"), QStringLiteral("Βλάχος")).setTag(QStringLiteral("17"));
        rt::ListItem fourth = items.Add(QStringLiteral("k4"), QStringLiteral("Παππάς"));
        fourth.setSubItems(3, QStringLiteral("6977000000"));
        QCOMPARE(list.FindItem(text, where, start, match).Key(), found);
    }

    void singleSelectionKeepsOneItem()
    {
        rt::ListView list;
        rt::ListItems items = list.ListItems();
        for (int i = 1; i <= 4; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        items(1).setSelected(true);
        items(3).setSelected(true);
        QVERIFY(!items(1).Selected());
        QVERIFY(items(3).Selected());

        list.setMultiSelect(true);
        items(2).setSelected(true);
        QVERIFY(items(2).Selected() && items(3).Selected());
        // Selecting one item alone: single selection, make it the selected item, back.
        list.setMultiSelect(false);
        list.setSelectedItem(items(4));
        list.setMultiSelect(true);
        QCOMPARE(list.SelectedItem(), items(4));
        QVERIFY(!items(2).Selected() && !items(3).Selected() && items(4).Selected());
    }

    void selectedItemFollowsTheCurrentItem()
    {
        rt::ListView list;
        list.setMultiSelect(true);
        rt::ListItems items = list.ListItems();
        for (int i = 1; i <= 3; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        QVERIFY(list.SelectedItem().isNull());
        items(2).setSelected(true);
        QCOMPARE(list.SelectedItem(), items(2)); // no current item: the first selected
        list.setSelectedItem(items(3));
        QCOMPARE(list.SelectedItem(), items(3));
        items.Remove(3);
        // The current item is gone; nothing is current until the user or code says so.
        QCOMPARE(list.SelectedItem(), items(2));
        items(2).setSelected(false);
        QVERIFY(list.SelectedItem().isNull());
    }

    // The runtime's "select alone" (MultiSelect off, SelectedItem, MultiSelect on), as
    // the member list's edit and search boxes use it after several rows were chosen.
    void selectingAloneDropsEveryOtherSelection_data()
    {
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<int>("chosen");
        QTest::newRow("chosen among the selected") << QList<int>{1, 2, 3} << 2;
        QTest::newRow("the first of the selected") << QList<int>{1, 3} << 1;
        QTest::newRow("the last of the selected") << QList<int>{1, 4} << 4;
        QTest::newRow("chosen beside the selected") << QList<int>{1, 3} << 2;
        QTest::newRow("already alone") << QList<int>{2} << 2;
    }
    void selectingAloneDropsEveryOtherSelection()
    {
        QFETCH(QList<int>, before);
        QFETCH(int, chosen);
        rt::ListView list;
        list.setMultiSelect(true);
        list.AddColumn(QStringLiteral("Επίθετο"));
        rt::ListItems items = list.ListItems();
        for (int i = 1; i <= 5; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        // Chosen by the user: a click, then Ctrl+clicks.
        clickRow(&list, before.first() - 1);
        for (int i = 1; i < before.size(); ++i)
            clickRow(&list, before[i] - 1, Qt::ControlModifier);
        QCOMPARE(selectedTexts(list).size(), before.size());

        list.setMultiSelect(false);
        list.setSelectedItem(items(chosen));
        items(chosen).EnsureVisible();
        list.setMultiSelect(true);

        QCOMPARE(selectedTexts(list), QStringList{QString::number(chosen)});
        QCOMPARE(list.SelectedItem(), items(chosen));
        QCOMPARE(shownSelectedRows(&list), QList<int>{chosen - 1});
        QCOMPARE(list.currentIndex().row(), chosen - 1);
    }

    // The windows delete the selected rows from the last to the first with the list
    // hidden; the row in the place of the first one deleted is what the user and the
    // commands go on from.
    void aDeleteChoosesTheRowInThePlaceOfTheFirstDeleted_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("deleted");
        // A row Ctrl+clicked on and off again last: current, not selected, not deleted.
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("chosen"); // the row's text; empty for none
        QTest::newRow("the last") << 6 << QList<int>{6} << 0 << "5";
        QTest::newRow("the second") << 6 << QList<int>{2} << 0 << "3";
        QTest::newRow("the first") << 6 << QList<int>{1} << 0 << "2";
        QTest::newRow("second and fourth") << 6 << QList<int>{2, 4} << 0 << "3";
        QTest::newRow("fourth and second") << 6 << QList<int>{4, 2} << 0 << "3";
        QTest::newRow("the last two") << 6 << QList<int>{5, 6} << 0 << "4";
        QTest::newRow("the current row not among them") << 6 << QList<int>{2, 4} << 5 << "3";
        QTest::newRow("far down the list") << 300 << QList<int>{250} << 0 << "251";
        QTest::newRow("every row") << 3 << QList<int>{1, 2, 3} << 0 << "";
    }
    void aDeleteChoosesTheRowInThePlaceOfTheFirstDeleted()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, deleted);
        QFETCH(int, current);
        QFETCH(QString, chosen);
        rt::ListView list;
        list.setMultiSelect(true);
        list.AddColumn(QStringLiteral("Επίθετο"));
        list.resize(200, 150);
        rt::ListItems items = list.ListItems();
        for (int i = 1; i <= rows; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        clickRow(&list, deleted.first() - 1);
        for (int i = 1; i < deleted.size(); ++i)
            clickRow(&list, deleted[i] - 1, Qt::ControlModifier);
        if (current > 0) {
            clickRow(&list, current - 1, Qt::ControlModifier);
            clickRow(&list, current - 1, Qt::ControlModifier);
            QCOMPARE(list.currentIndex().row(), current - 1);
        }
        QCOMPARE(selectedTexts(list).size(), deleted.size());
        list.scrollToTop();

        list.hide();
        for (int i = items.Count(); i >= 1; --i) {
            if (items(i).Selected())
                items.Remove(i);
        }
        list.show();

        QCOMPARE(items.Count(), rows - deleted.size());
        if (chosen.isEmpty()) {
            QVERIFY(selectedTexts(list).isEmpty());
            QVERIFY(list.SelectedItem().isNull());
            QVERIFY(shownSelectedRows(&list).isEmpty());
            return;
        }
        const rt::ListItem row = list.FindItem(chosen);
        QCOMPARE(selectedTexts(list), QStringList{chosen});
        QCOMPARE(list.SelectedItem(), row);
        QCOMPARE(shownSelectedRows(&list), QList<int>{row.Index() - 1});
        QCOMPARE(list.currentIndex().row(), row.Index() - 1);
        const QRect rect = list.visualRect(list.model()->index(row.Index() - 1, 0));
        QVERIFY(list.viewport()->rect().contains(rect));
        // The keys go on from it.
        if (row.Index() < items.Count()) {
            list.setFocus();
            QTest::keyClick(&list, Qt::Key_Down);
            QCOMPARE(selectedTexts(list), QStringList{items(row.Index() + 1).Text()});
        }
    }

    // A row Qt shows as current without showing it selected is no row for a command.
    void theCurrentRowCountsOnlyWhileShownSelected_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("chosen"); // what SelectedItem gives; empty for none
        QTest::newRow("the keyboard enters a list with nothing chosen") << "focus"
                                                                        << "";
        QTest::newRow("the current row deselected with Ctrl") << "ctrl"
                                                              << "2";
        QTest::newRow("every row deselected with Ctrl") << "ctrl-all"
                                                        << "";
    }
    void theCurrentRowCountsOnlyWhileShownSelected()
    {
        QFETCH(QString, how);
        QFETCH(QString, chosen);
        QWidget window;
        auto* before = new QLineEdit(&window);
        auto* list = new rt::ListView(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(list);
        list->setMultiSelect(true);
        list->AddColumn(QStringLiteral("Επίθετο"));
        rt::ListItems items = list->ListItems();
        for (int i = 1; i <= 4; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (how == QLatin1String("focus")) {
            before->setFocus();
            QTest::keyClick(before, Qt::Key_Tab);
            QTRY_VERIFY(list->hasFocus());
            QVERIFY(list->currentIndex().isValid()); // Qt's outline on the first row
        } else {
            clickRow(list, 1);
            clickRow(list, 3, Qt::ControlModifier);
            clickRow(list, 3, Qt::ControlModifier);
            if (how == QLatin1String("ctrl-all"))
                clickRow(list, 1, Qt::ControlModifier);
            QCOMPARE(list->currentIndex().row(), how == QLatin1String("ctrl") ? 3 : 1);
        }
        const rt::ListItem item = list->SelectedItem();
        QCOMPARE(item.isNull() ? QString() : item.Text(), chosen);
        if (!item.isNull())
            QVERIFY(item.Selected());
    }

    void qtSelectionMirrorsTheItemsBothWays()
    {
        rt::ListView list;
        list.setMultiSelect(true);
        list.AddColumn(QStringLiteral("Επίθετο"));
        list.resize(300, 300);
        rt::ListItems items = list.ListItems();
        for (int i = 1; i <= 10; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        for (int i = 1; i <= 10; i += 2)
            items(i).setSelected(true);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(list.selectionModel()->selectedRows().size(), 5);
        QVERIFY(list.selectionModel()->isRowSelected(8, {}));

        // A plain click selects that row alone, in the items too.
        QSignalSpy clicks(&list, &rt::ListView::ItemClick);
        const QRect rect = list.visualRect(list.model()->index(3, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.at(0).at(0).value<rt::ListItem>(), items(4));
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(items(i).Selected(), i == 4);
        QCOMPARE(list.SelectedItem(), items(4));
    }

    void userTickRaisesItemCheckCodeTickDoesNot()
    {
        rt::ListView list;
        list.setCheckboxes(true);
        list.AddColumn(QStringLiteral("Επίθετο"), 3000);
        rt::ListItem item = list.ListItems().Add(QStringLiteral("K1"), QStringLiteral("Άλφα"));
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy checks(&list, &rt::ListView::ItemCheck);
        QSignalSpy clicks(&list, &rt::ListView::ItemClick);

        item.setChecked(true);
        QCOMPARE(checks.size(), 0);
        list.Refresh();
        QCOMPARE(list.model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

        // The box sits at the start of the row, left of the text.
        const QRect rect = list.visualRect(list.model()->index(0, 0));
        const QPoint box(rect.left() + rect.height() / 2 + 2, rect.center().y());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box);
        QCOMPARE(checks.size(), 1);
        QVERIFY(!item.Checked());
        QCOMPARE(clicks.size(), 0);
    }

    void columnClickGivesTheColumnNumber()
    {
        rt::ListView list;
        list.AddColumn(QStringLiteral("Επίθετο"), 1500);
        list.AddColumn(QStringLiteral("Όνομα"), 1500);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy columns(&list, &rt::ListView::ColumnClick);
        QHeaderView* header = list.header();
        const QPoint second(header->sectionViewportPosition(1) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(columns.size(), 1);
        QCOMPARE(columns.at(0).at(0).toInt(), 2);
    }

    void ghostedItemsAreDrawnDimmed()
    {
        rt::ImageList images;
        images.Add(colouredIcon(Qt::red), QStringLiteral("member"));
        rt::ListView list;
        list.setSmallIcons(&images);
        rt::ListItems items = list.ListItems();
        items.Add(QStringLiteral("a"), QStringLiteral("Άλφα"), QStringLiteral("member"));
        rt::ListItem cut = items.Add(QStringLiteral("b"), QStringLiteral("Βήτα"), 1);
        cut.setGhosted(true);
        list.Refresh();

        QAbstractItemModel* model = list.model();
        QVERIFY(!model->index(0, 0).data(Qt::ForegroundRole).isValid());
        QCOMPARE(model->index(1, 0).data(Qt::ForegroundRole).value<QBrush>().color(),
                 list.palette().color(QPalette::Disabled, QPalette::Text));
        const QImage plain =
            model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
        const QImage dimmed =
            model->index(1, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
        QCOMPARE(plain.pixelColor(8, 8), QColor(Qt::red));
        QVERIFY(dimmed.pixelColor(8, 8) != QColor(Qt::red));

        cut.setGhosted(false);
        list.Refresh();
        QVERIFY(!model->index(1, 0).data(Qt::ForegroundRole).isValid());
    }

    void ensureVisibleScrollsToTheItem()
    {
        rt::ListView list;
        list.AddColumn(QStringLiteral("Επίθετο"));
        list.resize(200, 150);
        rt::ListItems items = list.ListItems();
        for (int i = 1; i <= 500; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const rt::ListItem far = items(400);
        far.EnsureVisible();
        const QRect rect = list.visualRect(list.model()->index(399, 0));
        QVERIFY(list.viewport()->rect().contains(rect.center()));
        QCOMPARE(list.HitTest(rect.center()), far);
    }

    void qtViewCatchesUpBeforePainting()
    {
        rt::ListView list;
        list.AddColumn(QStringLiteral("Επίθετο"));
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        rt::ListItems items = list.ListItems();
        for (int i = 1; i <= 3; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        items.Remove(2);
        list.grab(); // paints without waiting for the event loop
        QCOMPARE(list.model()->rowCount(), 2);
        QCOMPARE(list.model()->index(1, 0).data().toString(), QStringLiteral("3"));
    }

    // One change at a time, each followed by a pass of the event loop, as a batch makes
    // them between its waits, in a window that paints at its own pace (as the main window
    // does): they reach Qt's view together, the last one included, with nothing more
    // happening after it.
    void aRunOfChangesReachesTheViewTogether_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("items removed") << "remove";
        QTest::newRow("items added") << "add";
        QTest::newRow("texts changed") << "text";
    }

    void aRunOfChangesReachesTheViewTogether()
    {
        QFETCH(QString, change);
        constexpr int changes = 100;
        QWidget window;
        auto* list = new rt::ListView(&window);
        list->AddColumn(QStringLiteral("Επίθετο"));
        list->resize(200, 300);
        rt::ListItems items = list->ListItems();
        for (int i = 1; i <= 2 * changes; ++i)
            items.Add(QStringLiteral("K%1").arg(i), QString::number(i));
        rt::PaintPacing::install(window);
        window.resize(200, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QAbstractItemModel* model = list->model();
        QCOMPARE(model->rowCount(), 2 * changes);

        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy data(model, &QAbstractItemModel::dataChanged);
        for (int i = 1; i <= changes; ++i) {
            if (change == QLatin1String("remove"))
                items.Remove(items.Count());
            else if (change == QLatin1String("add"))
                items.Add(QStringLiteral("N%1").arg(i), QStringLiteral("new %1").arg(i));
            else
                items(i).setText(QStringLiteral("changed %1").arg(i));
            QCoreApplication::processEvents();
        }
        const qsizetype updates = resets.size() + inserts.size() + data.size();
        QVERIFY2(updates < changes / 4, qPrintable(QString::number(updates)));

        const int rows = change == QLatin1String("remove") ? changes
                         : change == QLatin1String("add")  ? 3 * changes
                                                           : 2 * changes;
        const QString last = change == QLatin1String("remove") ? QString::number(changes)
                             : change == QLatin1String("add")
                                 ? QStringLiteral("new %1").arg(changes)
                                 : QString::number(2 * changes);
        QTRY_COMPARE(model->rowCount(), rows);
        QCOMPARE(model->index(rows - 1, 0).data().toString(), last);
        if (change == QLatin1String("text"))
            QTRY_COMPARE(model->index(changes - 1, 0).data().toString(),
                         QStringLiteral("changed %1").arg(changes));
    }
};

QTEST_MAIN(tst_listview)
#include "tst_listview.moc"
