#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace rt {

// The saved properties of a user control, as the host's design keeps them: the control
// reads them with their defaults when the host loads and writes them when the design
// is saved. A value equal to its default is not written (and a stored one is removed),
// so reading it back gives the default. Names compare without regard to letter case.
class PropertyBag {
public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    void WriteProperty(const QString& name, const QVariant& value,
                       const QVariant& defaultValue = {});

    bool contains(const QString& name) const { return indexOf(name) >= 0; }
    // The written names, in the order they were first written.
    QStringList names() const;
    bool isEmpty() const { return m_values.isEmpty(); }
    void clear() { m_values.clear(); }

private:
    qsizetype indexOf(const QString& name) const;

    QList<QPair<QString, QVariant>> m_values;
};

} // namespace rt
