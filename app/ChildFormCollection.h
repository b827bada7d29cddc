#pragma once

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>

namespace rt {
class Form;
}

// The docked windows, keyed by their Name (letter case ignored, as in the runtime's
// collections), in the order they were added. A window
// that is gone (unloaded or deleted without taking itself out) no longer counts, so a
// careless window cannot keep the docking space taken for ever.
class ChildFormCollection {
public:
    int Count() const;
    // 1-based, as the runtime's collections counted; nullptr out of range.
    rt::Form* Item(int index) const;
    rt::Form* Item(const QString& key) const;
    QStringList Keys() const;

    // Raises the collection's duplicate-key error (457) for a key already present.
    void Add(rt::Form& form, const QString& key);
    // False when no window has the key.
    bool Remove(const QString& key);

private:
    void prune() const;
    mutable QList<QPair<QString, QPointer<rt::Form>>> m_items;
};
