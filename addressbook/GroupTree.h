#pragma once

#include "addressbook/MemberWindow.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace rt {
class ListItem;
class ListView;
class Node;
class TreeView;
} // namespace rt

// What the windows that show the address book as a group tree beside a member list share:
// reading the groups and the members, and finding which members a group shows.
namespace GroupTree {

// Adds the root "GRP_0" ("ΟΜΑΔΕΣ SMS", expanded) and every stored group under its parent,
// pictures 2 and 3. A group whose parent comes later in the table waits for it; one whose
// parent never comes stays out. A failing query raises a RuntimeError.
void LoadGroups(rt::TreeView& tree);

// Fills the list with every member in surname order: key "MEMBER_" & member_id, the
// surname, sub-items first name, occupation, mobile, and the working membership list as
// the tag. Shows the hourglass meanwhile. A failing query raises a RuntimeError.
void LoadMembers(rt::ListView& cache);

// The node's id, then the ids of every node below it, each before its children.
QStringList CollectGroupIds(const rt::Node& node);

// Which of a group's ids a member is shown through: `ids` as CollectGroupIds gives them.
class Matcher {
public:
    explicit Matcher(const QStringList& ids);
    // The place in `ids` of the first id that the membership list names; -1 for none.
    int Place(const QString& list) const;
    // The member row's picture for a place: 1 through the root, 4 through the group
    // itself, 5 through a group below it.
    int Icon(int place) const;

private:
    QStringList m_ids;
    QHash<QString, int> m_places;
};

// Adds to `shown` a copy of each member of `cache` that the group or a group below it
// holds, in the cache's order: its key, surname and three sub-items, the picture of the
// first of the group's ids (CollectGroupIds) that its list names (Matcher), and with
// withChecks its tick.
void AddGroupMembers(rt::ListView& cache, rt::ListView& shown, const rt::Node& group,
                     bool withChecks);

// The members of `cache`, and their copies in `shown`, take the numbers that the prefix
// rewrite wrote for them, where `follows` says a member takes its new number.
void TakeRewrittenNumbers(
    rt::ListView& cache, rt::ListView& shown, const RewrittenNumbers& numbers,
    const std::function<bool(const rt::ListItem& member, const RewrittenNumber& number)>& follows);

} // namespace GroupTree
