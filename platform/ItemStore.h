#pragma once

#include <QHash>
#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

namespace rt {

// The ordered, keyed collection behind the list and tree views (their ListItems and
// Nodes): 1-based positions as the runtime counted them, keys found through a hash.
//
// Removing leaves a hole that is closed only when a position at or after it is needed,
// so the usual "from the last item to the first" removal loops stay linear even on
// tens of thousands of items. Data must have the members `int slot` and `QString key`.
template <class Data> class ItemStore {
public:
    using Ptr = std::shared_ptr<Data>;

    int count() const { return static_cast<int>(m_slots.size()) - m_holes; }

    // False (and nothing added) when the key is taken; an empty key is never indexed.
    bool append(const Ptr& item)
    {
        if (!item->key.isEmpty()) {
            if (m_keys.contains(item->key))
                return false;
            m_keys.insert(item->key, item.get());
        }
        item->slot = static_cast<int>(m_slots.size());
        m_slots.push_back(item);
        return true;
    }

    // The item at a 0-based position; null outside 0..count-1.
    Ptr at(int position)
    {
        if (position < 0 || position >= count())
            return nullptr;
        if (position >= m_firstHole)
            compact();
        return m_slots[static_cast<size_t>(position)];
    }

    Data* byKey(const QString& key) const { return key.isEmpty() ? nullptr : m_keys.value(key); }
    Ptr shared(const Data* item) const
    {
        return item ? m_slots[static_cast<size_t>(item->slot)] : nullptr;
    }
    bool contains(const QString& key) const { return !key.isEmpty() && m_keys.contains(key); }

    // The 0-based position of an item of this store.
    int positionOf(const Data* item)
    {
        if (item->slot >= m_firstHole)
            compact();
        return item->slot;
    }

    // False when the new key belongs to another item.
    bool rekey(Data* item, const QString& key)
    {
        if (key == item->key)
            return true;
        if (!key.isEmpty() && m_keys.contains(key))
            return false;
        if (!item->key.isEmpty())
            m_keys.remove(item->key);
        item->key = key;
        if (!key.isEmpty())
            m_keys.insert(key, item);
        return true;
    }

    void remove(Data* item)
    {
        if (!item->key.isEmpty())
            m_keys.remove(item->key);
        m_slots[static_cast<size_t>(item->slot)].reset();
        ++m_holes;
        m_firstHole = std::min(m_firstHole, item->slot);
    }

    void clear()
    {
        m_slots.clear();
        m_keys.clear();
        m_holes = 0;
        m_firstHole = kNoHole;
    }

    // Every item in order, holes closed.
    const std::vector<Ptr>& items()
    {
        compact();
        return m_slots;
    }

    // Puts the items in a new order (a permutation of items()).
    void reorder(std::vector<Ptr> ordered)
    {
        m_slots = std::move(ordered);
        for (size_t i = 0; i < m_slots.size(); ++i)
            m_slots[i]->slot = static_cast<int>(i);
    }

private:
    static constexpr int kNoHole = 0x7fffffff;

    void compact()
    {
        if (m_holes == 0)
            return;
        auto first = m_slots.begin() + m_firstHole;
        auto end = std::remove(first, m_slots.end(), nullptr);
        m_slots.erase(end, m_slots.end());
        for (size_t i = static_cast<size_t>(m_firstHole); i < m_slots.size(); ++i)
            m_slots[i]->slot = static_cast<int>(i);
        m_holes = 0;
        m_firstHole = kNoHole;
    }

    std::vector<Ptr> m_slots;
    QHash<QString, Data*> m_keys;
    int m_holes = 0;
    int m_firstHole = kNoHole;
};

} // namespace rt
