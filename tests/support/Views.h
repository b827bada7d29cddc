#pragma once

#include <QList>
#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <Qt>

namespace rt {
class ListView;
class TreeView;
} // namespace rt

namespace testsupport {

// The keys of a list's items, in the list's order.
QStringList itemKeys(rt::ListView* list);

// A list's items in its order, as "key=icon" (icon the small icon's index).
QStringList keysAndIcons(rt::ListView* list);

// A left click on a list's row (0-based, scrolled into view first), as the user makes
// it, with the keyboard modifiers given (Ctrl to add a row, for instance).
void clickRow(rt::ListView* list, int row, Qt::KeyboardModifiers modifiers = {});
// The rows (0-based, ascending) that Qt's view of the list shows selected, once the view
// has caught up with the items.
QList<int> shownSelectedRows(rt::ListView* list);

// The model index that shows a tree's node, found by the node's text (the texts are
// unique in the fixtures); the node is made visible first. Invalid for no such node.
QModelIndex nodeIndex(rt::TreeView* tree, const QString& key);

} // namespace testsupport
