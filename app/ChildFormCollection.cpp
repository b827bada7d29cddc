#include "app/ChildFormCollection.h"

#include "platform/Err.h"
#include "platform/Form.h"

void ChildFormCollection::prune() const
{
    m_items.removeIf([](const QPair<QString, QPointer<rt::Form>>& item) {
        return item.second.isNull() || item.second->isUnloading();
    });
}

int ChildFormCollection::Count() const
{
    prune();
    return int(m_items.size());
}

rt::Form* ChildFormCollection::Item(int index) const
{
    prune();
    return index >= 1 && index <= m_items.size() ? m_items.at(index - 1).second.data() : nullptr;
}

rt::Form* ChildFormCollection::Item(const QString& key) const
{
    prune();
    for (const auto& item : std::as_const(m_items)) {
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return item.second.data();
    }
    return nullptr;
}

QStringList ChildFormCollection::Keys() const
{
    prune();
    QStringList keys;
    for (const auto& item : std::as_const(m_items))
        keys << item.first;
    return keys;
}

void ChildFormCollection::Add(rt::Form& form, const QString& key)
{
    if (Item(key))
        rt::Raise(457, QStringLiteral("This key is already associated with an element of this "
                                      "collection"));
    m_items.append({key, QPointer<rt::Form>(&form)});
}

bool ChildFormCollection::Remove(const QString& key)
{
    prune();
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).first.compare(key, Qt::CaseInsensitive) == 0) {
            m_items.removeAt(i);
            return true;
        }
    }
    return false;
}
