#include "platform/ListView.h"

#include "platform/MouseCodes.h"
#include "platform/TextCompare.h"
#include "platform/Twips.h"

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <algorithm>

namespace rt {

// Qt's side of a ListView: the snapshot of items the view last published.
class ListViewModel : public QAbstractTableModel {
public:
    explicit ListViewModel(ListView* view) : QAbstractTableModel(view), m_view(view) {}

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_view->m_shown.size());
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : std::max(1, m_view->ColumnCount());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const ListItemData* item = at(index);
        if (!item)
            return {};
        const int column = index.column();
        switch (role) {
        case Qt::DisplayRole:
            return column == 0 ? item->text : item->subItems.value(column - 1);
        case Qt::DecorationRole: {
            if (column != 0 || !m_view->m_smallIcons || item->smallIcon.isNone())
                return {};
            const QIcon icon = m_view->m_smallIcons->Icon(item->smallIcon);
            if (!item->ghosted || icon.isNull())
                return icon;
            return icon.pixmap(m_view->iconSize(), QIcon::Disabled);
        }
        case Qt::CheckStateRole:
            if (column != 0 || !m_view->m_checkboxes)
                return {};
            return item->checked ? Qt::Checked : Qt::Unchecked;
        case Qt::ForegroundRole:
            if (!item->ghosted)
                return {};
            return m_view->palette().brush(QPalette::Disabled, QPalette::Text);
        default:
            return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        ListItemData* item = at(index);
        if (!item || role != Qt::CheckStateRole || !m_view->m_checkboxes)
            return false;
        item->checked = value.toInt() == Qt::Checked;
        m_view->m_tickedByClick = true;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        emit m_view->ItemCheck(ListItem(m_view->m_shown[static_cast<size_t>(index.row())]));
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!at(index))
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (index.column() == 0 && m_view->m_checkboxes)
            f |= Qt::ItemIsUserCheckable;
        return f;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return m_view->ColumnText(section + 1);
    }

    // The view drives the structural signals itself.
    using QAbstractTableModel::beginInsertColumns;
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endInsertColumns;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endResetModel;

private:
    ListItemData* at(const QModelIndex& index) const
    {
        if (!index.isValid() || index.row() >= static_cast<int>(m_view->m_shown.size()))
            return nullptr;
        ListItemData* item = m_view->m_shown[static_cast<size_t>(index.row())].get();
        return item->owner ? item : nullptr;
    }

    ListView* m_view;
};

ListView::ListView(QWidget* parent) : QTreeView(parent), m_model(new ListViewModel(this))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &ListView::Refresh);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit ColumnClick(section + 1); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ListView::takeUserSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { takeUserCurrent(current); });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        // Qt reports a click on the tick box as a click on the item as well.
        if (m_tickedByClick)
            return;
        if (ListItem item = shownItem(index))
            emit ItemClick(item);
    });
}

ListView::~ListView()
{
    for (const Store::Ptr& item : m_store.items())
        item->owner = nullptr;
}

// ---- columns and view properties

int ListView::AddColumn(const QString& text, int widthTwips)
{
    const int column = ColumnCount();
    // The model always reports one column, so the first one only needs its header.
    if (column > 0)
        m_model->beginInsertColumns(QModelIndex(), column, column);
    m_columns.append({text, widthTwips});
    if (column > 0)
        m_model->endInsertColumns();
    else
        emit m_model->headerDataChanged(Qt::Horizontal, 0, 0);
    header()->resizeSection(column, toPixels(widthTwips));
    return column + 1;
}

QString ListView::ColumnText(int column) const
{
    return column >= 1 && column <= ColumnCount() ? m_columns[column - 1].text : QString();
}

int ListView::ColumnWidth(int column) const
{
    return column >= 1 && column <= ColumnCount() ? toTwips(header()->sectionSize(column - 1)) : 0;
}

void ListView::setColumnWidth(int column, int widthTwips)
{
    if (column < 1 || column > ColumnCount())
        return;
    m_columns[column - 1].widthTwips = widthTwips;
    header()->resizeSection(column - 1, toPixels(widthTwips));
}

void ListView::setCheckboxes(bool on)
{
    if (on == m_checkboxes)
        return;
    m_checkboxes = on;
    noteDataChanged();
}

void ListView::setMultiSelect(bool on)
{
    m_multiSelect = on;
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                        : QAbstractItemView::SingleSelection);
}

void ListView::setSortKey(int key)
{
    m_sortKey = std::max(0, key);
    if (m_sorted) {
        m_sortPending = true;
        schedule();
    }
}

void ListView::setSortOrder(int order)
{
    m_sortOrder = order == lvwDescending ? lvwDescending : lvwAscending;
    if (m_sorted) {
        m_sortPending = true;
        schedule();
    }
}

void ListView::setSorted(bool on)
{
    m_sorted = on;
    if (on) {
        m_sortPending = true;
        schedule();
    }
}

void ListView::setSmallIcons(rt::ImageList* images)
{
    if (m_smallIcons)
        disconnect(m_smallIcons, nullptr, this, nullptr);
    m_smallIcons = images;
    if (images) {
        setIconSize(images->ImageSize());
        connect(images, &rt::ImageList::changed, this, [this] {
            if (m_smallIcons)
                setIconSize(m_smallIcons->ImageSize());
            noteDataChanged();
        });
    }
    noteDataChanged();
}

// ---- items

ListItem ListView::addItem(const QString& key, const QString& text, const ImageRef& smallIcon)
{
    auto item = std::make_shared<ListItemData>();
    item->key = key;
    item->text = text;
    item->smallIcon = smallIcon;
    if (!m_store.append(item))
        return ListItem();
    item->owner = this;
    if (m_structure == Structure::Same)
        m_structure = Structure::Appended;
    if (m_sorted)
        m_sortPending = true;
    schedule();
    return ListItem(item);
}

ListItem ListView::itemAt(int index)
{
    ensureOrder();
    return ListItem(m_store.at(index - 1));
}

ListItem ListView::itemByKey(const QString& key) const
{
    return ListItem(m_store.shared(m_store.byKey(key)));
}

bool ListView::removeItem(ListItemData* item)
{
    if (!item || item->owner != this)
        return false;
    const Store::Ptr keep = m_store.shared(item); // the store may hold the last reference
    const bool wasSelected = item->selected;
    // Where the user's rows were: only a delete of selected rows needs the place.
    int place = -1;
    if (wasSelected || m_removedPlace >= 0) {
        ensureOrder();
        place = m_store.positionOf(item);
    }
    if (wasSelected) {
        item->selected = false;
        --m_selectedCount;
        m_removedPlace = m_removedPlace < 0 ? place : std::min(m_removedPlace, place);
    } else if (place >= 0 && place < m_removedPlace) {
        --m_removedPlace;
    }
    if (m_current.get() == item) {
        m_current.reset();
        m_currentDirty = true;
    }
    if (m_lastSelected == item)
        m_lastSelected = nullptr;
    if (m_pressed.get() == item)
        m_pressed.reset();
    m_store.remove(item);
    item->owner = nullptr;
    m_structure = Structure::Changed;
    // The row in the place is chosen once the delete is over (the next update of the view
    // or the next read of SelectedItem): chosen at once, it would be the next row that a
    // loop from the last item to the first looks at, and go with the selected ones.
    if (wasSelected && m_selectedCount == 0)
        m_placePending = true;
    schedule();
    return true;
}

void ListView::chooseRowInRemovedPlace()
{
    if (!m_placePending)
        return;
    m_placePending = false;
    const int place = std::min(m_removedPlace, m_store.count() - 1);
    m_removedPlace = -1;
    if (place < 0 || m_selectedCount > 0)
        return;
    ensureOrder();
    const Store::Ptr next = m_store.at(place);
    next->selected = true;
    ++m_selectedCount;
    m_lastSelected = next.get();
    m_current = next;
    m_selectionDirty = true;
    m_currentDirty = true;
    m_scrollToCurrent = true;
}

void ListView::clearItems()
{
    for (const Store::Ptr& item : m_store.items())
        item->owner = nullptr;
    m_store.clear();
    m_current.reset();
    m_pressed.reset();
    m_lastSelected = nullptr;
    m_selectedCount = 0;
    m_removedPlace = -1;
    m_placePending = false;
    m_scrollToCurrent = false;
    m_sortPending = false;
    m_structure = Structure::Changed;
    m_currentDirty = true;
    schedule();
}

bool ListView::rekeyItem(ListItemData* item, const QString& key)
{
    return item->owner == this && m_store.rekey(item, key);
}

int ListView::indexOfItem(ListItemData* item)
{
    if (item->owner != this)
        return 0;
    ensureOrder();
    return m_store.positionOf(item) + 1;
}

void ListView::changeSelected(ListItemData* item, bool selected)
{
    // Without MultiSelect the item is the only one selected, also when it already was
    // selected beside others (chosen while MultiSelect was on): those are dropped.
    const int others = m_selectedCount - (item->selected ? 1 : 0);
    if (selected && !m_multiSelect && others > 0) {
        // Cheaply when the hint names the one other item.
        if (others == 1 && m_lastSelected && m_lastSelected != item && m_lastSelected->selected) {
            m_lastSelected->selected = false;
        } else {
            for (const Store::Ptr& other : m_store.items()) {
                if (other.get() != item)
                    other->selected = false;
            }
        }
        m_selectedCount -= others;
        m_selectionDirty = true;
        schedule();
    }
    if (item->selected == selected)
        return;
    if (selected) {
        // A new choice: an earlier delete no longer places the row.
        m_removedPlace = -1;
        m_placePending = false;
    }
    item->selected = selected;
    m_selectedCount += selected ? 1 : -1;
    if (selected)
        m_lastSelected = item;
    m_selectionDirty = true;
    schedule();
}

ListItem ListView::SelectedItem()
{
    chooseRowInRemovedPlace();
    // A command acts on a row the list shows selected: the current row only while it is.
    if (m_current && m_current->owner && m_current->selected)
        return ListItem(m_current);
    if (m_selectedCount > 0) {
        ensureOrder();
        for (const Store::Ptr& item : m_store.items()) {
            if (item->selected)
                return ListItem(item);
        }
    }
    return ListItem();
}

void ListView::setSelectedItem(const ListItem& item)
{
    if (item.isNull() || item.d->owner != this)
        return;
    changeSelected(item.d.get(), true);
    m_current = item.d;
    m_currentDirty = true;
    schedule();
}

ListItem ListView::FindItem(const QString& text, int where, int start, int match)
{
    ensureOrder();
    const bool partial = match == lvwPartial;
    auto matches = [&](const QString& value) {
        return partial ? value.startsWith(text, Qt::CaseInsensitive)
                       : value.compare(text, Qt::CaseInsensitive) == 0;
    };
    const std::vector<Store::Ptr>& items = m_store.items();
    for (size_t i = static_cast<size_t>(std::max(1, start) - 1); i < items.size(); ++i) {
        const ListItemData& item = *items[i];
        bool found = false;
        if (where == lvwTag)
            found = matches(item.tag);
        else if (where == lvwSubItem)
            found = std::any_of(item.subItems.begin(), item.subItems.end(), matches);
        else
            found = matches(item.text);
        if (found)
            return ListItem(items[i]);
    }
    return ListItem();
}

ListItem ListView::HitTest(const QPoint& viewportPos)
{
    Refresh();
    return shownItem(indexAt(viewportPos));
}

void ListView::ensureItemVisible(ListItemData* item)
{
    if (item->owner != this)
        return;
    Refresh();
    scrollTo(m_model->index(m_store.positionOf(item), 0));
}

void ListView::noteDataChanged()
{
    m_dataDirty = true;
    schedule();
}

// ---- order

void ListView::ensureOrder()
{
    if (m_sortPending)
        sortNow();
}

void ListView::sortNow()
{
    m_sortPending = false;
    const std::vector<Store::Ptr>& items = m_store.items();
    if (items.size() < 2)
        return;
    // One collation key per item: comparing keys is far cheaper than collating pairs.
    struct Entry {
        QCollatorSortKey key;
        Store::Ptr item;
    };
    const QCollator& collator = textCollator();
    std::vector<Entry> entries;
    entries.reserve(items.size());
    for (const Store::Ptr& item : items) {
        const QString& text = m_sortKey == 0 ? item->text : item->subItems.value(m_sortKey - 1);
        entries.push_back({collator.sortKey(text), item});
    }
    if (m_sortOrder == lvwDescending) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return b.key.compare(a.key) < 0; });
    } else {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.key.compare(b.key) < 0; });
    }
    std::vector<Store::Ptr> ordered;
    ordered.reserve(entries.size());
    for (Entry& entry : entries)
        ordered.push_back(std::move(entry.item));
    m_store.reorder(std::move(ordered));
    m_structure = Structure::Changed;
    schedule();
}

// ---- publishing to Qt's view

void ListView::schedule()
{
    if (!isVisible() || m_refreshTimer.isActive())
        return;
    // Every update repaints the rows, the header and the scroll bar: for a change that
    // follows the last update closely, waiting a moment lets the next changes join it.
    const qint64 since = m_sinceUpdate.isValid() ? m_sinceUpdate.elapsed() : kGatherMs;
    m_refreshTimer.start(int(std::max<qint64>(0, kGatherMs - since)));
}

bool ListView::pending() const
{
    return m_structure != Structure::Same || m_dataDirty || m_selectionDirty || m_currentDirty ||
           m_sortPending || m_placePending || m_scrollToCurrent;
}

void ListView::Refresh()
{
    m_refreshTimer.stop();
    chooseRowInRemovedPlace();
    if (!pending())
        return;
    ensureOrder();
    const std::vector<Store::Ptr>& items = m_store.items();
    m_syncing = true;
    if (m_structure == Structure::Appended && items.size() > m_shown.size()) {
        const int first = static_cast<int>(m_shown.size());
        m_model->beginInsertRows(QModelIndex(), first, static_cast<int>(items.size()) - 1);
        m_shown.insert(m_shown.end(), items.begin() + first, items.end());
        m_model->endInsertRows();
    } else if (m_structure == Structure::Changed) {
        m_model->beginResetModel();
        m_shown = items;
        m_model->endResetModel();
        m_selectionDirty = true;
        m_currentDirty = true;
    }
    m_structure = Structure::Same;
    if (m_dataDirty && !m_shown.empty()) {
        emit m_model->dataChanged(
            m_model->index(0, 0),
            m_model->index(static_cast<int>(m_shown.size()) - 1, m_model->columnCount({}) - 1));
    }
    m_dataDirty = false;
    if (m_selectionDirty)
        applySelection();
    if (m_currentDirty)
        applyCurrent();
    // A row chosen in a removed row's place is brought into view once the view can.
    if (m_scrollToCurrent && isVisible()) {
        m_scrollToCurrent = false;
        if (m_current && m_current->owner)
            scrollTo(m_model->index(m_store.positionOf(m_current.get()), 0));
    }
    m_syncing = false;
    m_sinceUpdate.start();
}

void ListView::applySelection()
{
    m_selectionDirty = false;
    QItemSelection selection;
    const int lastColumn = m_model->columnCount({}) - 1;
    const int rows = static_cast<int>(m_shown.size());
    for (int row = 0; row < rows; ++row) {
        if (!m_shown[static_cast<size_t>(row)]->selected)
            continue;
        int end = row;
        while (end + 1 < rows && m_shown[static_cast<size_t>(end + 1)]->selected)
            ++end;
        selection.append(
            QItemSelectionRange(m_model->index(row, 0), m_model->index(end, lastColumn)));
        row = end;
    }
    // Clearing first keeps Qt's comparison of old and new selections linear.
    selectionModel()->clearSelection();
    if (!selection.isEmpty())
        selectionModel()->select(selection, QItemSelectionModel::Select);
}

void ListView::applyCurrent()
{
    m_currentDirty = false;
    const QModelIndex index = m_current && m_current->owner
                                  ? m_model->index(m_store.positionOf(m_current.get()), 0)
                                  : QModelIndex();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void ListView::takeUserSelection(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (m_syncing)
        return;
    auto mark = [this](const QItemSelection& ranges, bool on) {
        for (const QItemSelectionRange& range : ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                ListItemData* item = m_shown[static_cast<size_t>(row)].get();
                if (item->owner != this || item->selected == on)
                    continue;
                item->selected = on;
                m_selectedCount += on ? 1 : -1;
                if (on) {
                    m_lastSelected = item;
                    m_removedPlace = -1;
                    m_placePending = false;
                }
            }
        }
    };
    mark(deselected, false);
    mark(selected, true);
}

void ListView::takeUserCurrent(const QModelIndex& current)
{
    if (m_syncing)
        return;
    m_current = current.isValid() ? m_shown[static_cast<size_t>(current.row())] : nullptr;
    if (m_current && !m_current->owner)
        m_current.reset();
}

ListItem ListView::shownItem(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_shown.size()))
        return ListItem();
    const Store::Ptr& item = m_shown[static_cast<size_t>(index.row())];
    return item->owner == this ? ListItem(item) : ListItem();
}

// ---- events

bool ListView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Paint:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ToolTip:
        if (pending())
            Refresh();
        break;
    default:
        break;
    }
    return QTreeView::viewportEvent(event);
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    Refresh();
    const Store::Ptr before = m_current;
    QTreeView::keyPressEvent(event);
    if (m_current && m_current != before) {
        emit ItemClick(ListItem(m_current));
        return;
    }
    // A list that takes the keyboard with no row chosen shows its first row as current
    // without selecting it, and Up or Home there has nowhere to move: such a key picks the
    // row it stands on, as a move onto it would, instead of doing nothing.
    const bool plainMove = (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                  Qt::AltModifier | Qt::MetaModifier)) == 0;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        break;
    default:
        return;
    }
    if (!plainMove || !m_current || !m_current->owner || m_current->selected)
        return;
    selectionModel()->select(currentIndex(),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    event->accept();
    emit ItemClick(ListItem(m_current));
}

void ListView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    const ListItem item = shownItem(indexAt(event->position().toPoint()));
    m_pressed = item ? item.d : nullptr;
    emit MouseDown(mouseButtonCode(event->button()), shiftCode(event->modifiers()),
                   event->position().toPoint());
}

void ListView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_tickedByClick = false;
    QTreeView::mouseReleaseEvent(event); // a left click on an item emits ItemClick
    m_tickedByClick = false;
    if (event->button() == Qt::RightButton && m_pressed) {
        const ListItem item = shownItem(indexAt(pos));
        if (item && item.d == m_pressed)
            emit ItemClick(item);
    }
    m_pressed.reset();
    emit MouseUp(mouseButtonCode(event->button()), shiftCode(event->modifiers()), pos);
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    emit DblClick();
}

void ListView::setVisible(bool visible)
{
    m_focus.setVisible(*this, visible, [&] { QTreeView::setVisible(visible); });
}

void ListView::showEvent(QShowEvent* event)
{
    QTreeView::showEvent(event);
    Refresh();
}

// ---- ListItem

bool ListItem::setKey(const QString& key)
{
    if (isNull())
        return false;
    return d->owner->rekeyItem(d.get(), key);
}

void ListItem::setText(const QString& text)
{
    if (isNull() || d->text == text)
        return;
    d->text = text;
    d->owner->noteDataChanged();
}

void ListItem::setTag(const QString& tag)
{
    if (!isNull())
        d->tag = tag;
}

QString ListItem::SubItems(int index) const
{
    return d && index >= 1 ? d->subItems.value(index - 1) : QString();
}

void ListItem::setSubItems(int index, const QString& text)
{
    if (isNull() || index < 1)
        return;
    while (d->subItems.size() < index)
        d->subItems.append(QString());
    d->subItems[index - 1] = text;
    d->owner->noteDataChanged();
}

QString ListItem::SubItemTag(int index) const
{
    return d && index >= 1 ? d->subTags.value(index - 1) : QString();
}

void ListItem::setSubItemTag(int index, const QString& tag)
{
    if (isNull() || index < 1)
        return;
    while (d->subTags.size() < index)
        d->subTags.append(QString());
    d->subTags[index - 1] = tag;
}

void ListItem::setSelected(bool selected)
{
    if (!isNull())
        d->owner->changeSelected(d.get(), selected);
}

void ListItem::setChecked(bool checked)
{
    if (isNull() || d->checked == checked)
        return;
    d->checked = checked;
    d->owner->noteDataChanged();
}

void ListItem::setGhosted(bool ghosted)
{
    if (isNull() || d->ghosted == ghosted)
        return;
    d->ghosted = ghosted;
    d->owner->noteDataChanged();
}

void ListItem::setSmallIcon(const ImageRef& icon)
{
    if (isNull())
        return;
    d->smallIcon = icon;
    d->owner->noteDataChanged();
}

int ListItem::Index() const
{
    return isNull() ? 0 : d->owner->indexOfItem(d.get());
}

void ListItem::EnsureVisible() const
{
    if (!isNull())
        d->owner->ensureItemVisible(d.get());
}

// ---- ListItems

ListItem ListItems::Add(const QString& key, const QString& text, const ImageRef& smallIcon)
{
    return m_view->addItem(key, text, smallIcon);
}

int ListItems::Count() const
{
    return m_view->itemCount();
}
ListItem ListItems::Item(int index) const
{
    return m_view->itemAt(index);
}
ListItem ListItems::Item(const QString& key) const
{
    return m_view->itemByKey(key);
}
bool ListItems::Exists(const QString& key) const
{
    return m_view->m_store.contains(key);
}

bool ListItems::Remove(int index)
{
    const ListItem item = Item(index);
    return !item.isNull() && m_view->removeItem(item.d.get());
}

bool ListItems::Remove(const QString& key)
{
    return m_view->removeItem(m_view->m_store.byKey(key));
}

bool ListItems::Remove(const ListItem& item)
{
    return !item.isNull() && m_view->removeItem(item.d.get());
}

void ListItems::Clear()
{
    m_view->clearItems();
}

} // namespace rt
