#include "platform/TreeView.h"

#include "platform/MouseCodes.h"

#include <QAbstractItemModel>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>

namespace rt {

// Qt's side of a TreeView: the nodes themselves, one column.
class TreeViewModel : public QAbstractItemModel {
public:
    explicit TreeViewModel(TreeView* view) : QAbstractItemModel(view), m_view(view) {}

    QModelIndex index(int row, int column, const QModelIndex& parent) const override
    {
        if (column != 0 || row < 0)
            return {};
        NodeData* p = parent.isValid() ? m_view->nodeAt(parent) : &m_view->m_top;
        if (!p || row >= static_cast<int>(p->children.size()))
            return {};
        return createIndex(row, 0, p->children[static_cast<size_t>(row)]);
    }

    QModelIndex parent(const QModelIndex& child) const override
    {
        NodeData* node = m_view->nodeAt(child);
        if (!node || node->parent == &m_view->m_top || !node->parent)
            return {};
        return indexFor(node->parent);
    }

    int rowCount(const QModelIndex& parent) const override
    {
        if (parent.column() > 0)
            return 0;
        const NodeData* p = parent.isValid() ? m_view->nodeAt(parent) : &m_view->m_top;
        return p ? static_cast<int>(p->children.size()) : 0;
    }

    int columnCount(const QModelIndex&) const override { return 1; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const NodeData* node = m_view->nodeAt(index);
        if (!node)
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return node->text;
        case Qt::DecorationRole: {
            if (!m_view->m_images)
                return {};
            const bool selected = m_view->selectionModel()->isSelected(index);
            const ImageRef& ref =
                selected && !node->selectedImage.isNone() ? node->selectedImage : node->image;
            if (ref.isNone())
                return {};
            return m_view->m_images->Icon(ref);
        }
        case Qt::CheckStateRole:
            if (!m_view->m_checkboxes)
                return {};
            return node->checked ? Qt::Checked : Qt::Unchecked;
        case Qt::FontRole: {
            if (!node->bold)
                return {};
            QFont font = m_view->font();
            font.setBold(true);
            return font;
        }
        default:
            return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        NodeData* node = m_view->nodeAt(index);
        if (!node || role != Qt::CheckStateRole || !m_view->m_checkboxes)
            return false;
        node->checked = value.toInt() == Qt::Checked;
        m_view->m_tickedByClick = true;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        emit m_view->NodeCheck(m_view->handle(node));
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!m_view->nodeAt(index))
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (m_view->m_checkboxes)
            f |= Qt::ItemIsUserCheckable;
        return f;
    }

    QModelIndex indexFor(NodeData* node) const
    {
        if (!node || node == &m_view->m_top)
            return {};
        return createIndex(m_view->rowOf(node), 0, node);
    }

    using QAbstractItemModel::beginInsertRows;
    using QAbstractItemModel::beginMoveRows;
    using QAbstractItemModel::beginRemoveRows;
    using QAbstractItemModel::beginResetModel;
    using QAbstractItemModel::endInsertRows;
    using QAbstractItemModel::endMoveRows;
    using QAbstractItemModel::endRemoveRows;
    using QAbstractItemModel::endResetModel;

private:
    TreeView* m_view;
};

TreeView::TreeView(QWidget* parent) : QTreeView(parent), m_model(new TreeViewModel(this))
{
    m_top.owner = this;
    setModel(m_model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        // Qt reports a click on the tick box as a click on the node as well.
        if (m_tickedByClick)
            return;
        if (NodeData* node = nodeAt(index))
            emit NodeClick(handle(node));
    });
}

TreeView::~TreeView()
{
    for (const Store::Ptr& node : m_store.items()) {
        node->owner = nullptr;
        node->parent = nullptr;
        node->children.clear();
    }
    m_top.children.clear();
}

// ---- structure

int TreeView::rowOf(NodeData* node)
{
    NodeData* p = node->parent;
    if (p->rowsDirty) {
        for (size_t i = 0; i < p->children.size(); ++i)
            p->children[i]->row = static_cast<int>(i);
        p->rowsDirty = false;
    }
    return node->row;
}

QModelIndex TreeView::indexOf(NodeData* node)
{
    return m_model->indexFor(node);
}

Node TreeView::handle(NodeData* node) const
{
    return Node(m_store.shared(node));
}

NodeData* TreeView::nodeAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != m_model)
        return nullptr;
    auto* node = static_cast<NodeData*>(index.internalPointer());
    return node && node->owner == this ? node : nullptr;
}

Node TreeView::addNode(NodeData* parent, const QString& key, const QString& text,
                       const ImageRef& image, const ImageRef& selectedImage)
{
    if (parent != &m_top && !owns(parent))
        return Node();
    auto node = std::make_shared<NodeData>();
    node->key = key;
    node->text = text;
    node->image = image;
    node->selectedImage = selectedImage;
    if (!m_store.append(node))
        return Node();
    node->owner = this;
    node->parent = parent;
    const int row = static_cast<int>(parent->children.size());
    m_model->beginInsertRows(indexOf(parent), row, row);
    parent->children.push_back(node.get());
    node->row = row;
    m_model->endInsertRows();
    return Node(node);
}

bool TreeView::removeNode(NodeData* node)
{
    if (!owns(node))
        return false;
    std::vector<NodeData*> subtree{node};
    for (size_t i = 0; i < subtree.size(); ++i)
        subtree.insert(subtree.end(), subtree[i]->children.begin(), subtree[i]->children.end());

    // The selection moves off a removed node as the runtime's tree moved it: to the next
    // sibling, else to the parent, else to the previous sibling.
    NodeData* selected = nodeAt(currentIndex());
    if (selected && std::find(subtree.begin(), subtree.end(), selected) != subtree.end()) {
        NodeData* p = node->parent;
        const size_t row = static_cast<size_t>(rowOf(node));
        NodeData* next = nullptr;
        if (row + 1 < p->children.size())
            next = p->children[row + 1];
        else if (p != &m_top)
            next = p;
        else if (row > 0)
            next = p->children[row - 1];
        setSelectedItem(handle(next));
    }

    NodeData* p = node->parent;
    const int row = rowOf(node);
    m_model->beginRemoveRows(indexOf(p), row, row);
    p->children.erase(p->children.begin() + row);
    p->rowsDirty = true;
    m_model->endRemoveRows();
    // Qt may still hold plain indexes that point at these nodes until control returns to
    // the event loop: keep them alive (and marked as removed) until then.
    if (m_removed.empty())
        QTimer::singleShot(0, this, [this] { m_removed.clear(); });
    for (NodeData* gone : subtree) {
        m_removed.push_back(m_store.shared(gone));
        gone->owner = nullptr;
        gone->parent = nullptr;
        gone->children.clear();
        m_store.remove(gone);
    }
    return true;
}

void TreeView::clearNodes()
{
    m_model->beginResetModel();
    if (m_removed.empty())
        QTimer::singleShot(0, this, [this] { m_removed.clear(); });
    for (const Store::Ptr& node : m_store.items()) {
        node->owner = nullptr;
        node->parent = nullptr;
        node->children.clear();
        m_removed.push_back(node);
    }
    m_store.clear();
    m_top.children.clear();
    m_top.rowsDirty = false;
    m_model->endResetModel();
}

bool TreeView::moveNode(NodeData* node, NodeData* parent)
{
    if (!owns(node) || !owns(parent))
        return false;
    for (NodeData* above = parent; above && above != &m_top; above = above->parent) {
        if (above == node)
            return false;
    }
    NodeData* from = node->parent;
    const int row = rowOf(node);
    const int to = static_cast<int>(parent->children.size());
    if (from == parent && row == to - 1)
        return true; // already the last child there
    if (!m_model->beginMoveRows(indexOf(from), row, row, indexOf(parent), to))
        return false;
    from->children.erase(from->children.begin() + row);
    from->rowsDirty = true;
    parent->children.push_back(node);
    node->parent = parent;
    parent->rowsDirty = true;
    m_model->endMoveRows();
    return true;
}

// ---- view properties

Node TreeView::SelectedItem() const
{
    return handle(nodeAt(currentIndex()));
}

void TreeView::setSelectedItem(const Node& node)
{
    if (!node.isNull() && owns(node.d.get())) {
        selectionModel()->setCurrentIndex(indexOf(node.d.get()),
                                          QItemSelectionModel::ClearAndSelect);
    } else if (node.isNull()) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

void TreeView::setCheckboxes(bool on)
{
    if (on == m_checkboxes)
        return;
    m_checkboxes = on;
    scheduleRepaint();
}

void TreeView::setImageList(rt::ImageList* images)
{
    if (m_images)
        disconnect(m_images, nullptr, this, nullptr);
    m_images = images;
    if (images) {
        setIconSize(images->ImageSize());
        connect(images, &rt::ImageList::changed, this, [this] {
            if (m_images)
                setIconSize(m_images->ImageSize());
            scheduleRepaint();
        });
    }
    scheduleRepaint();
}

Node TreeView::HitTest(const QPoint& viewportPos) const
{
    return handle(nodeAt(indexAt(viewportPos)));
}

void TreeView::scheduleRepaint()
{
    // Many flag changes in one handler (a whole tree ticked) end in one repaint.
    if (m_repaintPending)
        return;
    m_repaintPending = true;
    QTimer::singleShot(0, this, [this] {
        m_repaintPending = false;
        viewport()->update();
    });
}

// ---- events

void TreeView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex before = currentIndex();
    const bool selectedBefore = before.isValid() && selectionModel()->isSelected(before);
    QTreeView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    // A tree that takes the keyboard with nothing selected shows its first node as current
    // without selecting it, and Up or Home there has nowhere to move: such a key picks the
    // node it stands on, as a move onto it would.
    const bool plainMove = (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                  Qt::AltModifier | Qt::MetaModifier)) == 0;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (plainMove && after == before && after.isValid() &&
            !selectionModel()->isSelected(after)) {
            selectionModel()->select(after, QItemSelectionModel::ClearAndSelect);
            event->accept();
        }
        break;
    default:
        break;
    }
    // Whatever the keys did to the choice counts as a click on the node: a move to another
    // node, or the node where the keys stand selected (Space, or a move with nowhere to go).
    const bool selectedAfter = after.isValid() && selectionModel()->isSelected(after);
    if (after != before || (selectedAfter && !selectedBefore)) {
        if (NodeData* node = nodeAt(after))
            emit NodeClick(handle(node));
    }
}

void TreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        QTreeView::mousePressEvent(event);
    emit MouseDown(mouseButtonCode(event->button()), shiftCode(event->modifiers()),
                   event->position().toPoint());
}

void TreeView::mouseReleaseEvent(QMouseEvent* event)
{
    m_tickedByClick = false;
    if (event->button() != Qt::RightButton)
        QTreeView::mouseReleaseEvent(event); // a left click on a node emits NodeClick
    m_tickedByClick = false;
    emit MouseUp(mouseButtonCode(event->button()), shiftCode(event->modifiers()),
                 event->position().toPoint());
}

void TreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    emit DblClick();
}

void TreeView::setVisible(bool visible)
{
    m_focus.setVisible(*this, visible, [&] { QTreeView::setVisible(visible); });
}

// ---- Node

bool Node::setKey(const QString& key)
{
    return !isNull() && d->owner->m_store.rekey(d.get(), key);
}

void Node::setText(const QString& text)
{
    if (isNull() || d->text == text)
        return;
    d->text = text;
    d->owner->scheduleRepaint();
}

void Node::setTag(const QString& tag)
{
    if (!isNull())
        d->tag = tag;
}

void Node::setChecked(bool checked)
{
    if (isNull() || d->checked == checked)
        return;
    d->checked = checked;
    d->owner->scheduleRepaint();
}

void Node::setBold(bool bold)
{
    if (isNull() || d->bold == bold)
        return;
    d->bold = bold;
    d->owner->scheduleRepaint();
}

void Node::setImage(const ImageRef& image)
{
    if (isNull())
        return;
    d->image = image;
    d->owner->scheduleRepaint();
}

void Node::setSelectedImage(const ImageRef& image)
{
    if (isNull())
        return;
    d->selectedImage = image;
    d->owner->scheduleRepaint();
}

bool Node::Expanded() const
{
    return !isNull() && d->owner->isExpanded(d->owner->indexOf(d.get()));
}

void Node::setExpanded(bool expanded)
{
    if (!isNull())
        d->owner->setExpanded(d->owner->indexOf(d.get()), expanded);
}

bool Node::Selected() const
{
    return !isNull() && d->owner->SelectedItem() == *this;
}

void Node::setSelected(bool selected)
{
    if (isNull())
        return;
    if (selected)
        d->owner->setSelectedItem(*this);
    else if (Selected())
        d->owner->setSelectedItem(Node());
}

int Node::Index() const
{
    return isNull() ? 0 : d->owner->m_store.positionOf(d.get()) + 1;
}

Node Node::Parent() const
{
    if (isNull() || d->parent == &d->owner->m_top)
        return Node();
    return d->owner->handle(d->parent);
}

bool Node::setParent(const Node& parent)
{
    return !isNull() && !parent.isNull() && d->owner->moveNode(d.get(), parent.d.get());
}

Node Node::Child() const
{
    if (isNull() || d->children.empty())
        return Node();
    return d->owner->handle(d->children.front());
}

Node Node::Next() const
{
    if (isNull())
        return Node();
    const auto& siblings = d->parent->children;
    const size_t row = static_cast<size_t>(d->owner->rowOf(d.get()));
    return row + 1 < siblings.size() ? d->owner->handle(siblings[row + 1]) : Node();
}

Node Node::Previous() const
{
    if (isNull())
        return Node();
    const int row = d->owner->rowOf(d.get());
    return row > 0 ? d->owner->handle(d->parent->children[static_cast<size_t>(row - 1)]) : Node();
}

Node Node::FirstSibling() const
{
    return isNull() ? Node() : d->owner->handle(d->parent->children.front());
}

Node Node::LastSibling() const
{
    return isNull() ? Node() : d->owner->handle(d->parent->children.back());
}

void Node::EnsureVisible() const
{
    if (isNull())
        return;
    TreeView* tree = d->owner;
    for (NodeData* above = d->parent; above && above != &tree->m_top; above = above->parent)
        tree->setExpanded(tree->indexOf(above), true);
    tree->scrollTo(tree->indexOf(d.get()));
}

// ---- Nodes

Node Nodes::Add(const QString& key, const QString& text, const ImageRef& image,
                const ImageRef& selectedImage)
{
    return m_view->addNode(&m_view->m_top, key, text, image, selectedImage);
}

Node Nodes::AddChild(const Node& parent, const QString& key, const QString& text,
                     const ImageRef& image, const ImageRef& selectedImage)
{
    if (parent.isNull())
        return Node();
    return m_view->addNode(parent.d.get(), key, text, image, selectedImage);
}

Node Nodes::AddChild(const QString& parentKey, const QString& key, const QString& text,
                     const ImageRef& image, const ImageRef& selectedImage)
{
    NodeData* parent = m_view->m_store.byKey(parentKey);
    if (!parent)
        return Node();
    return m_view->addNode(parent, key, text, image, selectedImage);
}

int Nodes::Count() const
{
    return m_view->m_store.count();
}
Node Nodes::Item(int index) const
{
    return Node(m_view->m_store.at(index - 1));
}
Node Nodes::Item(const QString& key) const
{
    return m_view->handle(m_view->m_store.byKey(key));
}
bool Nodes::Exists(const QString& key) const
{
    return m_view->m_store.contains(key);
}

bool Nodes::Remove(int index)
{
    return Remove(Item(index));
}
bool Nodes::Remove(const QString& key)
{
    return m_view->removeNode(m_view->m_store.byKey(key));
}
bool Nodes::Remove(const Node& node)
{
    return !node.isNull() && m_view->removeNode(node.d.get());
}
void Nodes::Clear()
{
    m_view->clearNodes();
}

} // namespace rt
