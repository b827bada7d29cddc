#pragma once

#include "addressbook/MemberWindow.h"
#include "platform/Form.h"
#include "platform/ListItem.h"
#include "platform/Node.h"

#include <QHash>
#include <QPoint>
#include <QString>
#include <QStringList>

class FormTitle;
class PopupMenuControl;
class QListWidget;

namespace rt {
class ImageList;
class ListView;
class Toolbar;
class TreeView;
} // namespace rt

// The docked window in which the address book is arranged: the group tree on the left,
// the members of the selected group on the right. Nothing reaches the database while the
// user works: new, renamed, moved, copied and deleted groups and members are kept in the
// window (change flags on the tree's nodes and on the member cache, a list of pending
// deletions) and Save writes them all in one transaction.
//
// Keys: "GRP_0" is the root, "GRP_" & group_id a group, "MEMBER_" & member_id a member;
// an item not saved yet carries a temporary key instead of the id. A cached member's tag
// is its working membership list, the root first ("\0\5\12\").
class frmGroup_Organize : public rt::Form, public MemberWindow {
    Q_OBJECT

public:
    frmGroup_Organize();

    // ---- group commands
    // The group name dialog for a new group: under the root when the root is selected,
    // under a top-level group when one is selected, beside a subgroup otherwise.
    void NewGroup();
    // The group name dialog for the selected group; nothing for the root.
    void EditGroup();
    // Asks, then removes the selected group with everything below it; its members stay
    // and only lose those memberships. The root is refused.
    void DeleteGroup();
    // The name dialog's answer: renames or moves the group GroupKey, or adds it under
    // ParentKey when it is not in the tree (an empty GroupKey gets a new temporary key,
    // which the caller's variable receives).
    void UpdateGroup(const QString& ParentKey, QString& GroupKey, const QString& GroupName);

    // ---- member commands
    // The member edit dialog for a new member of the selected group, or for the current row
    // (nothing while the list is empty).
    void NewMember();
    void EditMember();
    // Asks, then deletes the selected rows' members (root shown) or takes them out of the
    // shown group.
    void DeleteMember();
    // The member edit dialog's answer: updates the cached member MemberKey, or adds it
    // (an empty key gets a temporary one) as a member of GroupKey. Never changes the
    // groups of a member that is already there.
    void UpdateMember(const QString& MemberKey, const QString& GroupKey, const QString& LastName,
                      const QString& FirstName, const QString& Occupation, const QString& Phone);
    // The member find dialog's search among the shown rows: selects the rows whose fields
    // begin with every criterion given (letter case ignored). The surname, first-name and
    // occupation arguments come back upper-cased.
    void FindMembers(QString& LName, QString& FName, QString& Phone, QString& Occup) override;
    // The member edit dialog's OK reaches UpdateMember through here.
    void MemberEdited(const QString& MemberKey, const QString& GroupKey, const QString& LastName,
                      const QString& FirstName, const QString& Occupation,
                      const QString& Phone) override;
    // The prefix rewrite changed these stored numbers: the cached members and the shown
    // rows take them, unless the user has given the member another number since the load
    // (an unsaved edit of the number is the user's, and the save writes it).
    void NumbersRewritten(const RewrittenNumbers& numbers) override;

    // ---- the window's own clipboard and the copy/move of members
    // Action 4 copy, 5 cut the selected group.
    void AddGroupToClipboard(int Action);
    void PasteGroupFromClipboard();
    // Action 1 copy, 2 cut the selected rows.
    void AddMembersToClipboard(int Action);
    void PasteMembersFromClipboard();
    // Method 0 copies, 1 moves the selected rows' members from one group to another.
    void CopyMembersToGroup(int Method, const QString& SrcGroupKey, const QString& DstGroupKey);

    // ---- the main window's Edit commands, routed by the active control (the group tree
    // or the member list; nothing for any other)
    void CutCommand();
    void CopyCommand();
    void PasteCommand();
    // "Groups", "Members" or "" for the control that has the window's focus.
    QString ActiveControlName() const;

    // Saves every pending change in one transaction; false (nothing written, nothing in
    // the window changed, the error shown) when the database refuses.
    bool SaveChanges();
    // True while there are unsaved changes (the Save button is enabled).
    bool HasPendingChanges() const;

    // 0 empty, 1 copy members, 2 cut members, 4 copy group, 5 cut group.
    int ClipboardAction() const { return m_clipboardAction; }
    QString ClipboardTag() const { return m_clipboardTag; }

    // Dragging member rows onto a group. The window's own drag runs these; tests may too.
    void Members_OLEStartDrag();
    void Groups_OLEDragOver(const QPoint& viewportPos);
    void Members_OLECompleteDrag();
    QString DragSourceKey() const { return m_dragSourceKey; }
    QString DropTargetKey() const { return m_dropTargetKey; }

    // The window's controls, by their names.
    FormTitle* formTitle() const { return m_formTitle; }
    rt::Toolbar* Toolbar() const { return m_toolbar; }
    rt::TreeView* Groups() const { return m_groups; }
    QWidget* picSeperator() const { return m_picSeperator; }
    rt::ListView* Members() const { return m_members; }
    rt::ListView* lstMembers() const { return m_lstMembers; }
    QListWidget* lstDeleted() const { return m_lstDeleted; }
    QListWidget* Clipboard() const { return m_clipboard; }
    PopupMenuControl* mnGroups() const { return m_mnGroups; }
    PopupMenuControl* mnMembers() const { return m_mnMembers; }
    PopupMenuControl* mnDragDrop() const { return m_mnDragDrop; }
    rt::ImageList* ImageList() const { return m_imageList; }

    // The pop-up menus' choices and the toolbar, as the user's clicks raise them.
    void mnGroups_Click(const QString& MenuName, bool Checked);
    void mnMembers_Click(const QString& MenuName, bool Checked);
    void mnDragDrop_Click(const QString& MenuName, bool Checked);
    void Toolbar_ButtonClick(const QString& key);
    void Toolbar_ButtonMenuClick(const QString& buttonKey, const QString& itemKey);

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadGroups();
    void LoadMembers();
    void ShowGroupMembers(const QString& GroupKey);
    // After rows were rebuilt or removed: the rows of these members that show are
    // selected, the first of them current and in view; when none shows, the row at the
    // 1-based place (the last row past the end) alone; place 0 chooses none.
    void ChooseCurrentRow(const QStringList& keys, int place);
    QStringList selectedRowKeys() const;
    void RemoveGroupFromMembers(const QString& GroupKey);
    void UpdateCommandStates();
    void MarkDeleted(const QString& Key, int Kind);
    void ClearClipboard();
    void SetPending(bool on);

    rt::Node selectedNode() const;
    bool isRoot(const rt::Node& node) const;
    bool selectionAtTop() const;
    static void markChanged(rt::ListItem& member);

    void Groups_NodeClick(const rt::Node& node);
    void Groups_MouseUp(int button, int shift, const QPoint& pos);
    void Members_MouseUp(int button, int shift, const QPoint& pos);
    void Form_Resize();
    void picSeperator_MouseMove(Qt::MouseButtons buttons, const QPoint& pos);
    void picSeperator_MouseUp();
    bool membersDragFilter(QEvent* event);
    bool groupsDropFilter(QEvent* event);

    FormTitle* m_formTitle = nullptr;
    rt::ImageList* m_imageList = nullptr;
    rt::ImageList* m_toolbarImages = nullptr;
    rt::Toolbar* m_toolbar = nullptr;
    rt::TreeView* m_groups = nullptr;
    QWidget* m_picSeperator = nullptr;
    rt::ListView* m_members = nullptr;
    rt::ListView* m_lstMembers = nullptr;
    QListWidget* m_lstDeleted = nullptr;
    QListWidget* m_clipboard = nullptr;
    PopupMenuControl* m_mnGroups = nullptr;
    PopupMenuControl* m_mnMembers = nullptr;
    PopupMenuControl* m_mnDragDrop = nullptr;

    int m_clipboardAction = 0;
    QString m_clipboardTag;

    int m_memberDragActive = 0;
    QString m_dragSourceKey;
    QString m_dropTargetKey;
    // The left button went down on a selected row: a drag may start from there.
    bool m_dragArmed = false;
    // The press on a selected row is held back from the view until it is known that no
    // drag follows.
    bool m_pressHeld = false;
    bool m_replayingPress = false;
    QPoint m_dragPressPos;

    bool m_splitterDragging = false;
    int m_splitterStartX = 0;
};
