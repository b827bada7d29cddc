#include "platform/ImageList.h"
#include "platform/TreeView.h"

#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

namespace {

// The organiser's shape: the root, two groups, subgroups under the first.
//   GRP_0 ΟΜΑΔΕΣ SMS
//     GRP_1 Φίλοι
//       GRP_11 Σχολείο
//       GRP_12 Γειτονιά
//     GRP_2 Δουλειά
void fill(rt::TreeView& tree)
{
    rt::Nodes nodes = tree.Nodes();
    nodes.Add(QStringLiteral("GRP_0"), QStringLiteral("ΟΜΑΔΕΣ SMS"), 1).setExpanded(true);
    nodes.AddChild(QStringLiteral("GRP_0"), QStringLiteral("GRP_1"), QStringLiteral("Φίλοι"), 2, 3);
    nodes.AddChild(QStringLiteral("GRP_0"), QStringLiteral("GRP_2"), QStringLiteral("Δουλειά"), 2,
                   3);
    nodes.AddChild(QStringLiteral("GRP_1"), QStringLiteral("GRP_11"), QStringLiteral("Σχολείο"), 2,
                   3);
    nodes.AddChild(QStringLiteral("GRP_1"), QStringLiteral("GRP_12"), QStringLiteral("Γειτονιά"), 2,
                   3);
}

// Keys depth first, each node before its children, as the windows collect group ids.
QStringList walk(const rt::Node& node)
{
    QStringList keys{node.Key()};
    for (rt::Node child = node.Child(); child; child = child.Next())
        keys += walk(child);
    return keys;
}

QIcon colouredIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class tst_treeview : public QObject {
    Q_OBJECT

private slots:
    void keysIndexesAndNavigation()
    {
        rt::TreeView tree;
        fill(tree);
        rt::Nodes nodes = tree.Nodes();
        QCOMPARE(nodes.Count(), 5);
        const rt::Node root = nodes(1);
        QCOMPARE(root.Key(), QStringLiteral("GRP_0"));
        QVERIFY(root.Parent().isNull());
        QCOMPARE(root.Children(), 2);
        QCOMPARE(walk(root), (QStringList{"GRP_0", "GRP_1", "GRP_11", "GRP_12", "GRP_2"}));
        const rt::Node school = nodes(QStringLiteral("GRP_11"));
        QCOMPARE(school.Index(), 4);
        QCOMPARE(school.Parent().Key(), QStringLiteral("GRP_1"));
        QCOMPARE(school.LastSibling().Key(), QStringLiteral("GRP_12"));
        QVERIFY(school.Next().Next().isNull());
        QVERIFY(school.Previous().isNull());
        QCOMPARE(nodes(QStringLiteral("GRP_12")).FirstSibling(), school);
    }

    void duplicateOrMissingKeysAddNothing()
    {
        rt::TreeView tree;
        fill(tree);
        rt::Nodes nodes = tree.Nodes();
        QVERIFY(
            nodes.AddChild(QStringLiteral("GRP_0"), QStringLiteral("GRP_2"), QStringLiteral("x"))
                .isNull());
        QVERIFY(
            nodes.AddChild(QStringLiteral("GRP_99"), QStringLiteral("GRP_3"), QStringLiteral("x"))
                .isNull());
        QVERIFY(nodes.AddChild(rt::Node(), QStringLiteral("GRP_3"), QStringLiteral("x")).isNull());
        QVERIFY(nodes.Add(QStringLiteral("GRP_0"), QStringLiteral("x")).isNull());
        QCOMPARE(nodes.Count(), 5);
        QVERIFY(nodes(QStringLiteral("GRP_99")).isNull());
        QVERIFY(!nodes.Exists(QStringLiteral("GRP_3")));
        QVERIFY(nodes(6).isNull());

        rt::Node work = nodes(QStringLiteral("GRP_2"));
        QVERIFY(!work.setKey(QStringLiteral("GRP_1")));
        QVERIFY(work.setKey(QStringLiteral("GRP_57")));
        QCOMPARE(nodes(QStringLiteral("GRP_57")), work);
        QVERIFY(!nodes.Exists(QStringLiteral("GRP_2")));
    }

    void aNodeMovesWithItsChildren()
    {
        rt::TreeView tree;
        fill(tree);
        rt::Nodes nodes = tree.Nodes();
        rt::Node friends = nodes(QStringLiteral("GRP_1"));
        const rt::Node work = nodes(QStringLiteral("GRP_2"));
        QVERIFY(friends.setParent(work));
        QCOMPARE(friends.Parent(), work);
        QCOMPARE(walk(nodes(1)), (QStringList{"GRP_0", "GRP_2", "GRP_1", "GRP_11", "GRP_12"}));
        // The collection keeps its order: a move is not a new node.
        QCOMPARE(friends.Index(), 2);
        QCOMPARE(nodes(4).Key(), QStringLiteral("GRP_11"));

        // Qt's view sees the same tree.
        QAbstractItemModel* model = tree.model();
        const QModelIndex rootIndex = model->index(0, 0);
        QCOMPARE(model->rowCount(rootIndex), 1);
        const QModelIndex workIndex = model->index(0, 0, rootIndex);
        QCOMPARE(workIndex.data().toString(), QStringLiteral("Δουλειά"));
        QCOMPARE(model->index(0, 0, workIndex).data().toString(), QStringLiteral("Φίλοι"));
        QCOMPARE(model->rowCount(model->index(0, 0, workIndex)), 2);
    }

    void aMoveUnderItselfIsRefused_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("parent");
        QTest::newRow("onto itself") << "GRP_1"
                                     << "GRP_1";
        QTest::newRow("under its child") << "GRP_1"
                                         << "GRP_11";
        QTest::newRow("root under a group") << "GRP_0"
                                            << "GRP_2";
        QTest::newRow("under no node") << "GRP_1"
                                       << "";
    }
    void aMoveUnderItselfIsRefused()
    {
        QFETCH(QString, node);
        QFETCH(QString, parent);
        rt::TreeView tree;
        fill(tree);
        rt::Nodes nodes = tree.Nodes();
        QVERIFY(!nodes(node).setParent(nodes(parent)));
        QCOMPARE(walk(nodes(1)), (QStringList{"GRP_0", "GRP_1", "GRP_11", "GRP_12", "GRP_2"}));
    }

    void removingANodeRemovesItsSubtree()
    {
        rt::TreeView tree;
        fill(tree);
        rt::Nodes nodes = tree.Nodes();
        const rt::Node school = nodes(QStringLiteral("GRP_11"));
        const rt::Node neighbours = nodes(QStringLiteral("GRP_12"));
        QVERIFY(nodes.Remove(QStringLiteral("GRP_1")));
        QCOMPARE(nodes.Count(), 2);
        QVERIFY(school.isNull());
        QVERIFY(!nodes.Exists(QStringLiteral("GRP_12")));
        QCOMPARE(nodes(2).Key(), QStringLiteral("GRP_2"));
        QCOMPARE(tree.model()->rowCount(tree.model()->index(0, 0)), 1);
        QVERIFY(!nodes.Remove(neighbours));
        QVERIFY(!nodes.Remove(QStringLiteral("GRP_1")));
        nodes.Clear();
        QCOMPARE(nodes.Count(), 0);
        QCOMPARE(tree.model()->rowCount(), 0);
    }

    void theSelectionMovesOffARemovedNode_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("selected"); // the node that was selected
        QTest::addColumn<QString>("after");
        QTest::newRow("to the next sibling") << "GRP_11"
                                             << "GRP_11"
                                             << "GRP_12";
        QTest::newRow("last child: to the parent") << "GRP_12"
                                                   << "GRP_12"
                                                   << "GRP_1";
        QTest::newRow("from inside the subtree") << "GRP_1"
                                                 << "GRP_12"
                                                 << "GRP_2";
        QTest::newRow("another node keeps it") << "GRP_2"
                                               << "GRP_11"
                                               << "GRP_11";
    }
    void theSelectionMovesOffARemovedNode()
    {
        QFETCH(QString, removed);
        QFETCH(QString, selected);
        QFETCH(QString, after);
        rt::TreeView tree;
        fill(tree);
        rt::Nodes nodes = tree.Nodes();
        tree.setSelectedItem(nodes(selected));
        QCOMPARE(tree.SelectedItem().Key(), selected);
        QVERIFY(nodes.Remove(removed));
        QCOMPARE(tree.SelectedItem().Key(), after);
        QVERIFY(tree.SelectedItem().Selected());
        QVERIFY(tree.selectionModel()->isSelected(tree.currentIndex()));
    }

    void codeTicksRaiseNothingUserTicksRaiseNodeCheck()
    {
        rt::TreeView tree;
        tree.setCheckboxes(true);
        fill(tree);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        QSignalSpy checks(&tree, &rt::TreeView::NodeCheck);
        QSignalSpy clicks(&tree, &rt::TreeView::NodeClick);
        rt::Nodes nodes = tree.Nodes();
        for (int i = 1; i <= nodes.Count(); ++i)
            nodes(i).setChecked(true);
        QCOMPARE(checks.size(), 0);
        QCOMPARE(tree.model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

        const rt::Node work = nodes(QStringLiteral("GRP_2"));
        const QRect rect = tree.visualRect(tree.model()->index(1, 0, tree.model()->index(0, 0)));
        const QPoint box(rect.left() + 8, rect.center().y());
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, box);
        QCOMPARE(checks.size(), 1);
        QCOMPARE(checks.at(0).at(0).value<rt::Node>(), work);
        QVERIFY(!work.Checked());
        QCOMPARE(clicks.size(), 0);
    }

    void clicksAndHitTest()
    {
        rt::TreeView tree;
        fill(tree);
        tree.resize(250, 200);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        rt::Nodes nodes = tree.Nodes();
        const rt::Node school = nodes(QStringLiteral("GRP_11"));
        school.EnsureVisible();
        QVERIFY(nodes(QStringLiteral("GRP_1")).Expanded());
        const QModelIndex schoolIndex =
            tree.model()->index(0, 0, tree.model()->index(0, 0, tree.model()->index(0, 0)));
        const QPoint onSchool = tree.visualRect(schoolIndex).center();
        QCOMPARE(tree.HitTest(onSchool), school);
        QVERIFY(tree.HitTest(QPoint(10, tree.viewport()->height() - 2)).isNull());

        QSignalSpy clicks(&tree, &rt::TreeView::NodeClick);
        QSignalSpy downs(&tree, &rt::TreeView::MouseDown);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, onSchool);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.at(0).at(0).value<rt::Node>(), school);
        QCOMPARE(tree.SelectedItem(), school);
        QCOMPARE(downs.at(0).at(0).toInt(), 1);

        // The right button leaves the selection where it was.
        const QPoint onRoot = tree.visualRect(tree.model()->index(0, 0)).center();
        QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, onRoot);
        QCOMPARE(tree.SelectedItem(), school);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(downs.size(), 2);
        QCOMPARE(downs.at(1).at(0).toInt(), 2);

        // A keyboard move is a node click too.
        QTest::keyClick(tree.viewport(), Qt::Key_Down);
        QCOMPARE(tree.SelectedItem().Key(), QStringLiteral("GRP_12"));
        QCOMPARE(clicks.size(), 2);
    }

    void expandedBeforeItsChildrenArrive()
    {
        rt::TreeView tree;
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        rt::Nodes nodes = tree.Nodes();
        rt::Node root = nodes.Add(QStringLiteral("GRP_0"), QStringLiteral("ΟΜΑΔΕΣ SMS"));
        root.setExpanded(true);
        const rt::Node child =
            nodes.AddChild(root, QStringLiteral("GRP_5"), QStringLiteral("Φίλοι"));
        QVERIFY(root.Expanded());
        QVERIFY(tree.visualRect(tree.model()->index(0, 0, tree.model()->index(0, 0))).isValid());
        QCOMPARE(child.Parent(), root);
    }

    void boldTextAndSelectedPicture()
    {
        rt::ImageList images;
        images.Add(colouredIcon(Qt::blue));  // 1 root
        images.Add(colouredIcon(Qt::green)); // 2 group
        images.Add(colouredIcon(Qt::red));   // 3 selected group
        rt::TreeView tree;
        tree.setImageList(&images);
        fill(tree);
        rt::Node work = tree.Nodes()(QStringLiteral("GRP_2"));
        work.setBold(true);
        const QModelIndex index = tree.model()->index(1, 0, tree.model()->index(0, 0));
        QVERIFY(index.data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!tree.model()->index(0, 0).data(Qt::FontRole).isValid());

        auto picture = [&] { return index.data(Qt::DecorationRole).value<QIcon>().cacheKey(); };
        QCOMPARE(picture(), images.Icon(2).cacheKey());
        work.setSelected(true);
        QCOMPARE(picture(), images.Icon(3).cacheKey());
        // A node without a selected picture keeps its own when selected.
        rt::Node root = tree.Nodes()(1);
        root.setSelected(true);
        QCOMPARE(tree.model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
                 images.Icon(1).cacheKey());
        QVERIFY(!work.Selected());
    }
};

QTEST_MAIN(tst_treeview)
#include "tst_treeview.moc"
