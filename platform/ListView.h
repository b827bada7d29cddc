#pragma once

#include "platform/FocusThroughHide.h"
#include "platform/ImageList.h"
#include "platform/ItemStore.h"
#include "platform/ListItem.h"
#include "platform/ListItems.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QTreeView>
#include <memory>
#include <vector>

namespace rt {

class ListViewModel;

// The runtime's list view in report view: keyed items with sub-items, tags, check
// boxes, small icons, ghosting, sorting by a column, multi-selection.
//
// The items are the truth; what Qt's view shows follows them once per pass of the event
// loop (or at once through Refresh, and always before the view paints or takes mouse or
// key input). So filling, ticking or selecting tens of thousands of items costs one
// model update, not one per item. Changes that keep coming soon after an update (a batch
// that removes item after item between its waits) are gathered for up to kGatherMs, so
// that the list repaints a few dozen times a second rather than once per change. A
// hidden list view never updates its Qt model until it is shown.
//
// Setting a property from code raises no event (ItemCheck comes from the user's clicks
// only), as in the runtime.
//
// Removing the selected items (a delete) leaves the item now in the place of the first
// of them, or the last item when they ended the list, current, selected and scrolled
// into view, so that the keys and the next command go on from where the user was. It
// is chosen when the removals are over: at the next update of Qt's view (the next pass
// of the event loop, a paint, a key, showing the list again) or the next SelectedItem.
class ListView : public QTreeView {
    Q_OBJECT

public:
    enum FindWhere { lvwText = 0, lvwSubItem = 1, lvwTag = 2 };
    // The least time between two updates of Qt's view that changes start on their own.
    static constexpr int kGatherMs = 40;
    enum FindMatch { lvwWhole = 0, lvwPartial = 1 };
    enum SortOrderValue { lvwAscending = 0, lvwDescending = 1 };

    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    rt::ListItems ListItems() { return rt::ListItems(*this); }

    // Report-view columns; widths in twips as the forms were designed. Returns the new
    // column's 1-based index.
    int AddColumn(const QString& text, int widthTwips = 1440);
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    QString ColumnText(int column) const;
    int ColumnWidth(int column) const; // twips
    void setColumnWidth(int column, int widthTwips);

    bool Checkboxes() const { return m_checkboxes; }
    void setCheckboxes(bool on);
    bool MultiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool on);

    // Sorting: SortKey 0 is the item text, k the sub-item k; text compared without regard
    // to case and in Greek order. While Sorted is True the list is kept in that order
    // (items added later take their places); turning it off keeps the current order.
    int SortKey() const { return m_sortKey; }
    void setSortKey(int key);
    int SortOrder() const { return m_sortOrder; }
    void setSortOrder(int order);
    bool Sorted() const { return m_sorted; }
    void setSorted(bool on);

    rt::ImageList* SmallIcons() const { return m_smallIcons; }
    void setSmallIcons(rt::ImageList* images);

    // The item commands act on, always one the list shows selected: the current (focused)
    // item while it is selected, else the first selected one; null when none is selected.
    ListItem SelectedItem();
    // Makes the item current and selected; without MultiSelect it becomes the only one,
    // whatever else was selected before (the runtime's "select alone": MultiSelect off,
    // SelectedItem set, MultiSelect on again).
    void setSelectedItem(const ListItem& item);

    // The first item from index `start` on whose text (lvwText), one of whose sub-items
    // (lvwSubItem) or whose tag (lvwTag) equals the text (lvwWhole) or begins with it
    // (lvwPartial), without regard to case; null when none does.
    ListItem FindItem(const QString& text, int where = lvwText, int start = 1,
                      int match = lvwWhole);

    // The item under a point of the viewport; null over empty space.
    ListItem HitTest(const QPoint& viewportPos);

    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    // Brings Qt's view up to date with the items now.
    void Refresh();

    // A list hidden while it is rebuilt gets the keyboard focus back when it is shown
    // again, unless another control took it meanwhile.
    void setVisible(bool visible) override;

signals:
    // From the user only: a click on an item (left or right button), a keyboard move to
    // another item, or a move key that selects the current item where it stands.
    void ItemClick(const rt::ListItem& item);
    // The user ticked or unticked an item's box; Checked already holds the new state.
    void ItemCheck(const rt::ListItem& item);
    void ColumnClick(int column); // 1-based
    void DblClick();
    // Positions in viewport pixels; button and shift as in rt::mouseButtonCode/shiftCode.
    void MouseDown(int button, int shift, const QPoint& pos);
    void MouseUp(int button, int shift, const QPoint& pos);

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class rt::ListItem;
    friend class rt::ListItems;
    friend class ListViewModel;
    using Store = ItemStore<ListItemData>;
    enum class Structure { Same, Appended, Changed };

    // rt::ListItems and rt::ListItem come here.
    ListItem addItem(const QString& key, const QString& text, const ImageRef& smallIcon);
    int itemCount() const { return m_store.count(); }
    ListItem itemAt(int index);
    ListItem itemByKey(const QString& key) const;
    bool removeItem(ListItemData* item);
    void clearItems();
    bool rekeyItem(ListItemData* item, const QString& key);
    int indexOfItem(ListItemData* item);
    void changeSelected(ListItemData* item, bool selected);
    void chooseRowInRemovedPlace();
    void ensureItemVisible(ListItemData* item);
    void noteDataChanged();

    void ensureOrder();
    void sortNow();
    void schedule();
    bool pending() const;
    void applySelection();
    void applyCurrent();
    void takeUserSelection(const QItemSelection& selected, const QItemSelection& deselected);
    void takeUserCurrent(const QModelIndex& current);
    ListItem shownItem(const QModelIndex& index) const;

    struct Column {
        QString text;
        int widthTwips;
    };

    Store m_store;
    ListViewModel* m_model;
    // What Qt's model shows: the items in order as of the last Refresh.
    std::vector<Store::Ptr> m_shown;
    QList<Column> m_columns;
    QPointer<rt::ImageList> m_smallIcons;
    QString m_tag;
    QTimer m_refreshTimer;
    QElapsedTimer m_sinceUpdate; // since Qt's view last took the items; invalid before

    Store::Ptr m_current;
    int m_selectedCount = 0;
    ListItemData* m_lastSelected = nullptr; // a hint that keeps single selection cheap
    // The 0-based place of the first selected item removed since the last new choice,
    // while other selected items remain; -1 for none.
    int m_removedPlace = -1;
    bool m_placePending = false; // the selected items are gone: choose the row in the place
    bool m_scrollToCurrent = false;

    Structure m_structure = Structure::Same;
    bool m_dataDirty = false;
    bool m_selectionDirty = false;
    bool m_currentDirty = false;
    bool m_sortPending = false;
    bool m_syncing = false;
    bool m_tickedByClick = false;

    bool m_checkboxes = false;
    bool m_multiSelect = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    int m_sortOrder = lvwAscending;
    Store::Ptr m_pressed;
    FocusThroughHide m_focus;
};

} // namespace rt
