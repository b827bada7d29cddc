#pragma once

#include <QModelIndex>
#include <QString>
#include <QStringList>

namespace rt {
class ListView;
class TreeView;
} // namespace rt

namespace testsupport {

// The keys of a list's items, in the list's order.
QStringList itemKeys(rt::ListView* list);

// A list's items in its order, as "key=icon" (icon the small icon's index).
QStringList keysAndIcons(rt::ListView* list);

// The model index that shows a tree's node, found by the node's text (the texts are
// unique in the fixtures); the node is made visible first. Invalid for no such node.
QModelIndex nodeIndex(rt::TreeView* tree, const QString& key);

} // namespace testsupport
