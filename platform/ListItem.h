#pragma once

#include "platform/ImageList.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <memory>

namespace rt {

class ListView;

// What the view keeps of one item. Callers use it through ListItem.
struct ListItemData {
    ListView* owner = nullptr; // null once the item is removed or its view is gone
    int slot = 0;
    QString key;
    QString text;
    QString tag;
    QStringList subItems; // sub-item i is subItems[i - 1]
    QStringList subTags;
    ImageRef smallIcon;
    bool selected = false;
    bool checked = false;
    bool ghosted = false;
};

// A list view's item as callers hold it (the runtime's ListItem object): cheap to copy,
// equal when it names the same item. Once the item is removed the handle is null: its
// getters give what the item last held and its setters do nothing.
class ListItem {
public:
    ListItem() = default;

    bool isNull() const { return !d || !d->owner; }
    explicit operator bool() const { return !isNull(); }

    QString Key() const { return d ? d->key : QString(); }
    // False, and the key unchanged, when another item of the list has that key.
    bool setKey(const QString& key);
    QString Text() const { return d ? d->text : QString(); }
    void setText(const QString& text);
    QString Tag() const { return d ? d->tag : QString(); }
    void setTag(const QString& tag);

    // Sub-items are numbered from 1 (column 2 of the report view); one never set is "".
    QString SubItems(int index) const;
    void setSubItems(int index, const QString& text);
    QString SubItemTag(int index) const;
    void setSubItemTag(int index, const QString& tag);

    bool Selected() const { return d && d->selected; }
    void setSelected(bool selected);
    bool Checked() const { return d && d->checked; }
    void setChecked(bool checked);
    bool Ghosted() const { return d && d->ghosted; }
    void setGhosted(bool ghosted);
    ImageRef SmallIcon() const { return d ? d->smallIcon : ImageRef(); }
    void setSmallIcon(const ImageRef& icon);

    // 1-based position in the list (after any pending sort); 0 for a null item.
    int Index() const;
    void EnsureVisible() const;
    ListView* view() const { return d ? d->owner : nullptr; }

    friend bool operator==(const ListItem& a, const ListItem& b) { return a.d == b.d; }

private:
    friend class ListView;
    friend class ListItems;
    friend class ListViewModel;
    explicit ListItem(std::shared_ptr<ListItemData> data) : d(std::move(data)) {}
    std::shared_ptr<ListItemData> d;
};

} // namespace rt

Q_DECLARE_METATYPE(rt::ListItem)
