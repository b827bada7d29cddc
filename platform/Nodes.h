#pragma once

#include "platform/Node.h"

#include <QString>

namespace rt {

class TreeView;

// A tree view's nodes as the runtime's Nodes collection: 1-based indexes in the order
// of adding, keys. A reference to its tree, cheap to copy; the tree must outlive it.
class Nodes {
public:
    explicit Nodes(TreeView& view) : m_view(&view) {}

    // Adds a top-level node, or a node at the end of the parent's children. A key
    // already in the tree, or a parent that is null or not of this tree (or a parent key
    // no node has), adds nothing and gives a null node (the runtime raised an error).
    Node Add(const QString& key, const QString& text, const ImageRef& image = {},
             const ImageRef& selectedImage = {});
    Node AddChild(const Node& parent, const QString& key, const QString& text,
                  const ImageRef& image = {}, const ImageRef& selectedImage = {});
    Node AddChild(const QString& parentKey, const QString& key, const QString& text,
                  const ImageRef& image = {}, const ImageRef& selectedImage = {});

    int Count() const;
    // Null outside 1..Count, or when no node has the key.
    Node Item(int index) const;
    Node Item(const QString& key) const;
    Node operator()(int index) const { return Item(index); }
    Node operator()(const QString& key) const { return Item(key); }
    bool Exists(const QString& key) const;

    // Removes the node with everything below it. False when there is no such node.
    bool Remove(int index);
    bool Remove(const QString& key);
    bool Remove(const Node& node);
    void Clear();

private:
    TreeView* m_view;
};

} // namespace rt
