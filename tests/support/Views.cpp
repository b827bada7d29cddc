#include "tests/support/Views.h"

#include "platform/ListView.h"
#include "platform/TreeView.h"

#include <QItemSelectionModel>
#include <QTest>
#include <algorithm>
#include <functional>

namespace testsupport {

QStringList itemKeys(rt::ListView* list)
{
    QStringList keys;
    for (const rt::ListItem item : list->ListItems())
        keys.append(item.Key());
    return keys;
}

QStringList keysAndIcons(rt::ListView* list)
{
    QStringList out;
    for (const rt::ListItem item : list->ListItems())
        out << item.Key() + QLatin1Char('=') + QString::number(item.SmallIcon().index);
    return out;
}

void clickRow(rt::ListView* list, int row, Qt::KeyboardModifiers modifiers)
{
    list->Refresh();
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualRect(index).center());
}

QList<int> shownSelectedRows(rt::ListView* list)
{
    list->Refresh();
    QList<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QModelIndex nodeIndex(rt::TreeView* tree, const QString& key)
{
    const rt::Node node = tree->Nodes().Item(key);
    if (!node)
        return {};
    node.EnsureVisible();
    QAbstractItemModel* model = tree->model();
    std::function<QModelIndex(const QModelIndex&)> find = [&](const QModelIndex& parent) {
        for (int row = 0; row < model->rowCount(parent); ++row) {
            const QModelIndex index = model->index(row, 0, parent);
            if (index.data(Qt::DisplayRole).toString() == node.Text())
                return index;
            const QModelIndex below = find(index);
            if (below.isValid())
                return below;
        }
        return QModelIndex();
    };
    return find(QModelIndex());
}

} // namespace testsupport
