#pragma once

#include "platform/ListItem.h"

#include <QString>

namespace rt {

class ListView;

// A list view's items as the runtime's ListItems collection: 1-based indexes, keys.
// A reference to its view, cheap to copy; the view must outlive it.
class ListItems {
public:
    explicit ListItems(ListView& view) : m_view(&view) {}

    // Appends an item. An empty key leaves it reachable by index only; a key already in
    // the list adds nothing and gives a null item (the runtime raised an error).
    ListItem Add(const QString& key, const QString& text, const ImageRef& smallIcon = {});

    int Count() const;
    // Null outside 1..Count, or when no item has the key.
    ListItem Item(int index) const;
    ListItem Item(const QString& key) const;
    ListItem operator()(int index) const { return Item(index); }
    ListItem operator()(const QString& key) const { return Item(key); }
    bool Exists(const QString& key) const;

    // False when there is no such item.
    bool Remove(int index);
    bool Remove(const QString& key);
    bool Remove(const ListItem& item);
    void Clear();

    class const_iterator {
    public:
        const_iterator(const ListItems* items, int index) : m_items(items), m_index(index) {}
        ListItem operator*() const { return m_items->Item(m_index); }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return m_index != other.m_index; }

    private:
        const ListItems* m_items;
        int m_index;
    };
    const_iterator begin() const { return const_iterator(this, 1); }
    const_iterator end() const { return const_iterator(this, Count() + 1); }

private:
    ListView* m_view;
};

} // namespace rt
