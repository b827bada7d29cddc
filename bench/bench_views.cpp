// Times the list and tree views at address-book scale (50,000 members or --members N,
// 500 groups) beside plain Qt models doing the same in the same run.
// Run: build/bench/bench_views [--members N]
#include "BenchSupport.h"
#include "addressbook/mdlGroups.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/TreeView.h"

#include <QApplication>
#include <QPixmap>
#include <QStandardItemModel>
#include <QTreeView>
#include <cstdio>
#include <functional>
#include <random>

using bench::timed;

namespace {

constexpr int kTopGroups = 50;
constexpr int kSubgroupsEach = 9; // 50 + 450 = 500 groups

struct Member {
    QString key, last, first, occupation, phone, tag;
};

std::vector<Member> makeMembers()
{
    std::mt19937 random(1253);
    auto word = [&](int parts) { return bench::syllableWord(random, parts); };
    const int groups = kTopGroups * (1 + kSubgroupsEach);
    std::vector<Member> members;
    members.reserve(size_t(bench::memberCount()));
    for (int i = 1; i <= bench::memberCount(); ++i) {
        Member m;
        m.key = QStringLiteral("MEMBER_%1").arg(i);
        m.last = word(4);
        m.first = word(2);
        m.occupation = word(3);
        m.phone = QStringLiteral("69%1").arg(i, 8, 10, QLatin1Char('0'));
        m.tag = QStringLiteral("\\0\\%1\\%2\\")
                    .arg(1 + static_cast<int>(random() % groups))
                    .arg(1 + static_cast<int>(random() % groups));
        members.push_back(m);
    }
    return members;
}

void report(const char* what, double ms, double baseline = -1)
{
    if (baseline >= 0)
        std::printf("%-52s %9.1f ms   (plain Qt model: %.1f ms)\n", what, ms, baseline);
    else
        std::printf("%-52s %9.1f ms\n", what, ms);
}

void fillList(rt::ListView& list, const std::vector<Member>& members)
{
    rt::ListItems items = list.ListItems();
    for (const Member& m : members) {
        rt::ListItem item = items.Add(m.key, m.last, 1);
        item.setSubItems(1, m.first);
        item.setSubItems(2, m.occupation);
        item.setSubItems(3, m.phone);
        item.setTag(m.tag);
    }
}

void addColumns(rt::ListView& list)
{
    for (const char* title : {"Επίθετο", "Όνομα", "Επάγγελμα", "Κινητό"})
        list.AddColumn(QString::fromUtf8(title), 1600);
}

void fillTree(rt::TreeView& tree, int childrenEach)
{
    rt::Nodes nodes = tree.Nodes();
    rt::Node root = nodes.Add(QStringLiteral("GRP_0"), QStringLiteral("ΟΜΑΔΕΣ SMS"), 1);
    root.setExpanded(true);
    int id = 0;
    for (int g = 0; g < kTopGroups; ++g) {
        ++id;
        rt::Node top = nodes.AddChild(root, QStringLiteral("GRP_%1").arg(id),
                                      QStringLiteral("Ομάδα %1").arg(id), 2, 3);
        for (int s = 0; s < childrenEach; ++s) {
            ++id;
            nodes.AddChild(top, QStringLiteral("GRP_%1").arg(id),
                           QStringLiteral("Υποομάδα %1").arg(id), 2, 3);
        }
    }
}

// The message window's tick of a group: the node and everything below it.
void checkSubtree(rt::Node node, bool state)
{
    node.setChecked(state);
    for (rt::Node child = node.Child(); child; child = child.Next())
        checkSubtree(child, state);
}

// The message window's pass from group ticks to member ticks (master and shown list).
void syncMembers(rt::TreeView& tree, rt::ListView& master, rt::ListView& shown)
{
    rt::Nodes nodes = tree.Nodes();
    rt::ListItems shownItems = shown.ListItems();
    for (rt::ListItem item : master.ListItems()) {
        const QString tag = item.Tag();
        bool ticked = false;
        for (const QString& id : tag.mid(1, tag.size() - 2).split(QLatin1Char('\\'))) {
            const rt::Node node = nodes(QStringLiteral("GRP_") + id);
            if (node && node.Checked()) {
                ticked = true;
                break;
            }
        }
        item.setChecked(ticked);
        if (mdlGroups::ListItemExists(shown, item.Key()))
            shownItems(item.Key()).setChecked(ticked);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::readMemberCount(argc, argv);
    const std::vector<Member> members = makeMembers();
    QPixmap picture(16, 16);
    picture.fill(Qt::darkCyan);
    rt::ImageList images;
    for (int i = 0; i < 5; ++i)
        images.Add(QIcon(picture));

    std::printf("%d members, %d groups\n\n", bench::memberCount(),
                kTopGroups * (1 + kSubgroupsEach));

    // ---- the plain Qt baseline: a standard item model in a tree view
    QTreeView plainView;
    QStandardItemModel plainModel;
    plainView.setUniformRowHeights(true);
    plainView.setRootIsDecorated(false);
    plainView.resize(800, 600);
    plainView.show();
    const double plainFill = timed([&] {
        plainModel.setColumnCount(4);
        for (const Member& m : members) {
            auto* first = new QStandardItem(QIcon(picture), m.last);
            first->setCheckable(true);
            first->setData(m.key, Qt::UserRole);
            plainModel.appendRow({first, new QStandardItem(m.first),
                                  new QStandardItem(m.occupation), new QStandardItem(m.phone)});
        }
        plainView.setModel(&plainModel);
    });
    const double plainTick = timed([&] {
        for (int row = 0; row < plainModel.rowCount(); ++row)
            plainModel.item(row)->setCheckState(Qt::Checked);
    });

    // ---- the list view
    rt::ListView list;
    list.setSmallIcons(&images);
    list.setCheckboxes(true);
    list.setMultiSelect(true);
    addColumns(list);
    list.resize(800, 600);
    list.show();
    report("fill every member (shown list)", timed([&] { fillList(list, members); }), plainFill);

    rt::ListView cache;
    addColumns(cache);
    report("fill every member (hidden cache list)", timed([&] { fillList(cache, members); }));

    report("tick every member", timed([&] {
               for (rt::ListItem item : list.ListItems())
                   item.setChecked(true);
               list.Refresh();
           }),
           plainTick);
    report("look up every member by key", timed([&] {
               rt::ListItems items = list.ListItems();
               for (const Member& m : members)
                   items(m.key).setGhosted(false);
           }));
    report("sort every member by surname (Greek, no case)", timed([&] {
               list.setSortKey(0);
               list.setSorted(true);
               list.Refresh();
           }));
    report("select every member, then invert", timed([&] {
               for (rt::ListItem item : list.ListItems())
                   item.setSelected(true);
               list.Refresh();
               int i = 0;
               for (rt::ListItem item : list.ListItems())
                   item.setSelected(++i % 2 == 0); // alternating: one range per two members
               list.Refresh();
           }));
    report("find by tag (last item)",
           timed([&] { list.FindItem(members.back().tag, rt::ListView::lvwTag); }));
    report("remove the selected half, last to first", timed([&] {
               rt::ListItems items = list.ListItems();
               for (int i = items.Count(); i >= 1; --i) {
                   if (items(i).Selected())
                       items.Remove(i);
               }
               list.Refresh();
           }));
    report("clear and refill every member (sorted list)", timed([&] {
               list.ListItems().Clear();
               fillList(list, members);
               list.Refresh();
           }));

    // ---- the message window's case: 500 groups, every member in two lists
    rt::TreeView groups;
    groups.setCheckboxes(true);
    groups.setImageList(&images);
    groups.resize(300, 600);
    groups.show();
    report("fill tree of 500 groups", timed([&] { fillTree(groups, kSubgroupsEach); }));
    rt::ListView shown;
    shown.setCheckboxes(true);
    addColumns(shown);
    shown.resize(800, 600);
    shown.show();
    fillList(shown, members);
    shown.Refresh();
    report("tick the root: 500 nodes + 2 x every member", timed([&] {
               checkSubtree(groups.Nodes()(1), true);
               syncMembers(groups, cache, shown);
               shown.Refresh();
           }));
    report("untick one top-level group and resync", timed([&] {
               checkSubtree(groups.Nodes()(2), false);
               syncMembers(groups, cache, shown);
               shown.Refresh();
           }));

    // ---- a tree of 50,500 nodes
    rt::TreeView big;
    big.setCheckboxes(true);
    big.resize(300, 600);
    big.show();
    report("fill tree of 50,551 nodes", timed([&] { fillTree(big, 1010); }));
    report("tick the root of 50,551 nodes", timed([&] { checkSubtree(big.Nodes()(1), true); }));
    QStandardItemModel plainTree;
    QTreeView plainTreeView;
    plainTreeView.setModel(&plainTree);
    plainTreeView.show();
    const double plainTreeFill = timed([&] {
        auto* root = new QStandardItem(QStringLiteral("ΟΜΑΔΕΣ SMS"));
        plainTree.appendRow(root);
        plainTreeView.expand(root->index());
        int id = 0;
        for (int g = 0; g < kTopGroups; ++g) {
            auto* top = new QStandardItem(QStringLiteral("Ομάδα %1").arg(++id));
            root->appendRow(top);
            for (int s = 0; s < 1010; ++s)
                top->appendRow(new QStandardItem(QStringLiteral("Υποομάδα %1").arg(++id)));
        }
    });
    std::printf("%-52s %9.1f ms\n", "(plain Qt model: fill tree of 50,551 nodes)", plainTreeFill);
    report(
        "move a group of 1,010 under another", timed([&] {
            big.Nodes()(QStringLiteral("GRP_1")).setParent(big.Nodes()(QStringLiteral("GRP_1012")));
        }));
    report("remove a group of 1,010 with its subgroups",
           timed([&] { big.Nodes().Remove(QStringLiteral("GRP_1012")); }));
    return 0;
}
