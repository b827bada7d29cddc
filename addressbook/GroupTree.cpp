#include "addressbook/GroupTree.h"

#include "addressbook/mdlGroups.h"
#include "app/mdlDataBase.h"
#include "app/mdlMain.h"
#include "platform/Err.h"
#include "platform/ListView.h"
#include "platform/Recordset.h"
#include "platform/TreeView.h"

#include <vector>

namespace GroupTree {

namespace {

const QString& groupPrefix = mdlGroups::GroupKeyPrefix;

rt::Recordset snapshot(const QString& sql)
{
    rt::Recordset rs =
        mdlDataBase::MainDatabase().openRecordset({sql, {}}, rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        throw rt::RuntimeError(rs.status().number, rs.status().description,
                               QStringLiteral("SQLite"));
    return rs;
}

} // namespace

void LoadGroups(rt::TreeView& tree)
{
    rt::Nodes nodes = tree.Nodes();
    rt::Node root = nodes.Add(mdlGroups::RootKey, QStringLiteral("ΟΜΑΔΕΣ SMS"), 1);
    root.setExpanded(true);

    rt::Recordset top = snapshot(QStringLiteral("SELECT * FROM Groups WHERE subgroup_of=0;"));
    for (; !top.eof(); top.moveNext()) {
        nodes.AddChild(root, groupPrefix + top.field(QStringLiteral("group_id")).toString(),
                       mdlDataBase::NullToEmpty(top.field(QStringLiteral("group_name"))).toString(),
                       2, 3);
    }
    top.close();

    rt::Recordset below = snapshot(QStringLiteral("SELECT * FROM groups WHERE subgroup_of<>0;"));
    struct Pending {
        QString key, text, parentKey;
    };
    std::vector<Pending> waiting;
    for (; !below.eof(); below.moveNext()) {
        waiting.push_back(
            {groupPrefix + below.field(QStringLiteral("group_id")).toString(),
             mdlDataBase::NullToEmpty(below.field(QStringLiteral("group_name"))).toString(),
             groupPrefix + below.field(QStringLiteral("subgroup_of")).toString()});
    }
    below.close();
    while (!waiting.empty()) {
        std::vector<Pending> later;
        for (Pending& row : waiting) {
            const rt::Node parent = nodes.Item(row.parentKey);
            if (parent)
                nodes.AddChild(parent, row.key, row.text, 2, 3);
            else
                later.push_back(std::move(row));
        }
        if (later.size() == waiting.size())
            break;
        waiting = std::move(later);
    }
}

void LoadMembers(rt::ListView& cache)
{
    mdlMain::BusyPointer busy;
    rt::ListItems items = cache.ListItems();
    items.Clear();
    rt::Recordset rs =
        snapshot(QStringLiteral("SELECT * FROM members ORDER BY lastname COLLATE GREEK;"));
    const int id = rs.fieldIndex(QStringLiteral("member_id"));
    const int last = rs.fieldIndex(QStringLiteral("LastName"));
    const int first = rs.fieldIndex(QStringLiteral("FirstName"));
    const int occupation = rs.fieldIndex(QStringLiteral("Occupation"));
    const int phone = rs.fieldIndex(QStringLiteral("mobile_no"));
    const int memberOf = rs.fieldIndex(QStringLiteral("member_of"));
    for (; !rs.eof(); rs.moveNext()) {
        rt::ListItem item = items.Add(mdlGroups::MemberKeyPrefix + rs.field(id).toString(),
                                      mdlDataBase::NullToEmpty(rs.field(last)).toString());
        item.setSubItems(1, mdlDataBase::NullToEmpty(rs.field(first)).toString());
        item.setSubItems(2, mdlDataBase::NullToEmpty(rs.field(occupation)).toString());
        item.setSubItems(3, mdlDataBase::NullToEmpty(rs.field(phone)).toString());
        // An empty list is no membership either: without its closing backslash the tag
        // would not even hold the root.
        item.setTag(mdlGroups::WorkingMembership(rs.field(memberOf)));
    }
    rs.close();
}

QStringList CollectGroupIds(const rt::Node& node)
{
    QStringList ids;
    if (!node)
        return ids;
    std::vector<rt::Node> stack{node};
    while (!stack.empty()) {
        const rt::Node current = stack.back();
        stack.pop_back();
        ids.append(mdlGroups::KeyToId(current.Key()));
        std::vector<rt::Node> children;
        for (rt::Node child = current.Child(); child; child = child.Next())
            children.push_back(child);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return ids;
}

Matcher::Matcher(const QStringList& ids) : m_ids(ids)
{
    m_places.reserve(ids.size());
    for (int k = static_cast<int>(ids.size()) - 1; k >= 0; --k)
        m_places.insert(ids[k], k);
}

int Matcher::Place(const QString& list) const
{
    // The ids of the list are the texts between two backslashes, exactly what the test
    // for "\" & id & "\" finds (\0\5\12\ names 0, 5 and 12).
    int first = -1;
    qsizetype open = list.indexOf(QLatin1Char('\\'));
    while (open >= 0 && first != 0) {
        const qsizetype close = list.indexOf(QLatin1Char('\\'), open + 1);
        if (close < 0)
            break;
        const auto found = m_places.constFind(list.mid(open + 1, close - open - 1));
        if (found != m_places.constEnd() && (first < 0 || *found < first))
            first = *found;
        open = close;
    }
    return first;
}

int Matcher::Icon(int place) const
{
    // Only the root has the id 0.
    return m_ids.value(place) == QLatin1String("0") ? 1 : (place == 0 ? 4 : 5);
}

void AddGroupMembers(rt::ListView& cache, rt::ListView& shown, const rt::Node& group,
                     bool withChecks)
{
    const Matcher matcher(CollectGroupIds(group));
    rt::ListItems rows = shown.ListItems();
    for (const rt::ListItem member : cache.ListItems()) {
        const int place = matcher.Place(member.Tag());
        if (place < 0)
            continue;
        rt::ListItem row = rows.Add(member.Key(), member.Text(), matcher.Icon(place));
        if (withChecks)
            row.setChecked(member.Checked());
        for (int s = 1; s <= 3; ++s)
            row.setSubItems(s, member.SubItems(s));
    }
}

void TakeRewrittenNumbers(
    rt::ListView& cache, rt::ListView& shown, const RewrittenNumbers& numbers,
    const std::function<bool(const rt::ListItem& member, const RewrittenNumber& number)>& follows)
{
    rt::ListItems rows = shown.ListItems();
    for (rt::ListItem member : cache.ListItems()) {
        bool isNumber = false;
        const auto found = numbers.constFind(mdlGroups::KeyToId(member.Key()).toLongLong(&isNumber));
        if (!isNumber || found == numbers.constEnd() || !follows(member, *found))
            continue;
        member.setSubItems(3, found->after);
        if (rt::ListItem row = rows.Item(member.Key()))
            row.setSubItems(3, found->after);
    }
}

} // namespace GroupTree
