#pragma once

#include "platform/ImageList.h"

#include <QMetaType>
#include <QString>

#include <memory>
#include <vector>

namespace rt {

class TreeView;

// What the tree keeps of one node. Callers use it through Node.
struct NodeData {
    TreeView* owner = nullptr; // null once the node is removed or its tree is gone
    int slot = 0;              // place in the tree's Nodes collection
    QString key;
    QString text;
    QString tag;
    ImageRef image;
    ImageRef selectedImage;
    bool checked = false;
    bool bold = false;
    NodeData* parent = nullptr; // the tree's hidden top for a top-level node
    std::vector<NodeData*> children;
    int row = 0;            // place among its siblings, valid unless the parent's rowsDirty
    bool rowsDirty = false; // the children's rows need renumbering
};

// A tree view's node as callers hold it (the runtime's Node object): cheap to copy,
// equal when it names the same node. Once the node is removed (with its parent, say)
// the handle is null: its getters give what it last held, its setters do nothing.
class Node {
public:
    Node() = default;

    bool isNull() const { return !d || !d->owner; }
    explicit operator bool() const { return !isNull(); }

    QString Key() const { return d ? d->key : QString(); }
    // False, and the key unchanged, when another node of the tree has that key.
    bool setKey(const QString& key);
    QString Text() const { return d ? d->text : QString(); }
    void setText(const QString& text);
    QString Tag() const { return d ? d->tag : QString(); }
    void setTag(const QString& tag);
    bool Checked() const { return d && d->checked; }
    void setChecked(bool checked);
    bool Bold() const { return d && d->bold; }
    void setBold(bool bold);
    ImageRef Image() const { return d ? d->image : ImageRef(); }
    void setImage(const ImageRef& image);
    ImageRef SelectedImage() const { return d ? d->selectedImage : ImageRef(); }
    void setSelectedImage(const ImageRef& image);
    bool Expanded() const;
    void setExpanded(bool expanded);
    bool Selected() const;
    void setSelected(bool selected);

    // 1-based place in the tree's Nodes collection (the order nodes were added in; a
    // move keeps it; removals close the gaps). 0 for a null node.
    int Index() const;

    // Null for a top-level node.
    Node Parent() const;
    // Moves the node, with everything below it, to the end of the new parent's
    // children. False (nothing moves) when the new parent is null, of another tree, the
    // node itself or below it (the runtime refused such a move).
    bool setParent(const Node& parent);
    Node Child() const; // the first child
    Node Next() const;  // the next sibling
    Node Previous() const;
    Node FirstSibling() const;
    Node LastSibling() const;
    int Children() const { return isNull() ? 0 : static_cast<int>(d->children.size()); }

    // Expands every node above it and scrolls it into view.
    void EnsureVisible() const;
    TreeView* view() const { return d ? d->owner : nullptr; }

    friend bool operator==(const Node& a, const Node& b) { return a.d == b.d; }

private:
    friend class TreeView;
    friend class Nodes;
    friend class TreeViewModel;
    explicit Node(std::shared_ptr<NodeData> data) : d(std::move(data)) {}
    std::shared_ptr<NodeData> d;
};

} // namespace rt

Q_DECLARE_METATYPE(rt::Node)
