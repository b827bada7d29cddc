#pragma once

#include "platform/FocusThroughHide.h"
#include "platform/ImageList.h"
#include "platform/ItemStore.h"
#include "platform/Node.h"
#include "platform/Nodes.h"

#include <QPointer>
#include <QString>
#include <QTreeView>

#include <vector>

namespace rt {

class TreeViewModel;

// The runtime's tree view: keyed nodes that can move under another parent with their
// children, check boxes, bold text, pictures for the normal and the selected state,
// one selected node, hit testing.
//
// Setting a property from code raises no event (NodeCheck and NodeClick come from the
// user only), as in the runtime. Property changes repaint once per pass of the event
// loop, so ticking a whole tree costs no more than setting the flags.
//
// A right-button press does not move the selection (the runtime's tree kept it, and the
// pop-up menus act on the selected node).
class TreeView : public QTreeView {
    Q_OBJECT

public:
    explicit TreeView(QWidget* parent = nullptr);
    ~TreeView() override;

    rt::Nodes Nodes() { return rt::Nodes(*this); }

    // The selected node; null when there is none.
    Node SelectedItem() const;
    // Selects the node (null: none). Raises no NodeClick.
    void setSelectedItem(const Node& node);

    bool Checkboxes() const { return m_checkboxes; }
    void setCheckboxes(bool on);
    rt::ImageList* ImageList() const { return m_images; }
    void setImageList(rt::ImageList* images);

    // The node under a point of the viewport (the coordinates of mouse and drag events);
    // null over empty space.
    Node HitTest(const QPoint& viewportPos) const;

    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // A tree hidden while it is rebuilt gets the keyboard focus back when it is shown
    // again, unless another control took it meanwhile.
    void setVisible(bool visible) override;

signals:
    // From the user only: a left click on a node, or keys that move to another node or
    // select the node they stand on (Space, a move with nowhere to go).
    void NodeClick(const rt::Node& node);
    // The user ticked or unticked a node's box; Checked already holds the new state.
    void NodeCheck(const rt::Node& node);
    void DblClick();
    // Positions in viewport pixels; button and shift as in rt::mouseButtonCode/shiftCode.
    void MouseDown(int button, int shift, const QPoint& pos);
    void MouseUp(int button, int shift, const QPoint& pos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class rt::Node;
    friend class rt::Nodes;
    friend class TreeViewModel;
    using Store = ItemStore<NodeData>;

    Node addNode(NodeData* parent, const QString& key, const QString& text, const ImageRef& image,
                 const ImageRef& selectedImage);
    bool removeNode(NodeData* node);
    void clearNodes();
    bool moveNode(NodeData* node, NodeData* parent);
    bool owns(const NodeData* node) const { return node && node->owner == this; }
    int rowOf(NodeData* node);
    QModelIndex indexOf(NodeData* node);
    Node handle(NodeData* node) const;
    NodeData* nodeAt(const QModelIndex& index) const;
    void scheduleRepaint();

    Store m_store;
    NodeData m_top; // the hidden parent of the top-level nodes
    std::vector<Store::Ptr> m_removed;
    TreeViewModel* m_model;
    QPointer<rt::ImageList> m_images;
    QString m_tag;
    bool m_checkboxes = false;
    bool m_repaintPending = false;
    bool m_tickedByClick = false;
    FocusThroughHide m_focus;
};

} // namespace rt
