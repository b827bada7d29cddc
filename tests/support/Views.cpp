#include "tests/support/Views.h"

#include "platform/ListView.h"
#include "platform/TreeView.h"

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
