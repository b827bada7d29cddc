#pragma once

#include <QString>
#include <QVariant>

class QListWidget;

namespace rt {
class ListView;
class TreeView;
} // namespace rt

// The address book's shared vocabulary: item keys, temporary keys for items not yet
// saved, membership lists, the member-search criteria, small lookups on views.
namespace mdlGroups {

// The last values typed into the member-find dialog; empty at start.
extern QString SearchLastName;
extern QString SearchFirstName;
extern QString SearchPhone;
extern QString SearchOccupation;

void ClearSearchCriteria();

// Item keys of the group trees and member lists: the root of every tree, then a group's
// and a member's key as the prefix followed by the row's id.
inline const QString RootKey = QStringLiteral("GRP_0");
inline const QString GroupKeyPrefix = QStringLiteral("GRP_");
inline const QString MemberKeyPrefix = QStringLiteral("MEMBER_");

// The text after the first "_" of an item key ("GRP_0" gives "0", "a_b_c" gives
// "b_c"); a key without one is its own id.
QString KeyToId(const QString& key);

// A key for an item not yet saved: Prefix, the day number, the timer text (at most two
// decimals, a one-decimal or one-character text padded with "0", commas removed).
// Returns only once the timer's text has moved on, and never returns the same key
// twice in a run (two timer readings can print alike).
QString NewTempKey(const QString& prefix);

// Membership lists: "\5\12\" holds groups 5 and 12; the groups organiser's working form
// puts the root "\0" in front ("\0\5\12\", "\0\" for none). An id matches only between
// backslashes, so group 1 never matches 15.
bool MembershipHas(const QString& list, const QString& id);
// Appends "id\" (the list always ends with a backslash), also when it is already there:
// callers test first where the list must hold it once.
QString AddMembership(const QString& list, const QString& id);
// Takes out every occurrence of the id.
QString RemoveMembership(const QString& list, const QString& id);
// Working form of a stored value: a Null or empty value is "\0\".
QString WorkingMembership(const QVariant& stored);
// Stored form of a working list: without the root; Null (an invalid QVariant) when
// nothing is left.
QVariant StoredMembership(const QString& working);

// Lookups; a missing key is simply False.
bool NodeExists(rt::TreeView& tree, const QString& key);
bool ListItemExists(rt::ListView& list, const QString& key);
int SelectedItemCount(rt::ListView& list);

// List boxes keep an entry's item data in Qt::UserRole. Both give the first matching
// row (0-based), -1 when none; the text comparisons are case-sensitive.
int FindItemData(const QListWidget& list, int value);
int FindListItem(const QListWidget& list, const QString& text, bool exact);

// A comma list of numbers without blanks, line breaks, empty entries or outer commas:
// " ,69,,,69 " gives "69,69"; separators alone give "". Pending window events run once
// per cleaning pass.
QString CleanNumberList(const QString& text);
// The number of entries of a comma list such as a phone list (0 for none).
int CountListEntries(const QString& text);

} // namespace mdlGroups
