#include "platform/PropertyBag.h"

namespace rt {

qsizetype PropertyBag::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        if (m_values.at(i).first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    const qsizetype i = indexOf(name);
    return i < 0 ? defaultValue : m_values.at(i).second;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue)
{
    const qsizetype i = indexOf(name);
    if (defaultValue.isValid() && value == defaultValue) {
        if (i >= 0)
            m_values.removeAt(i);
        return;
    }
    if (i >= 0)
        m_values[i].second = value;
    else
        m_values.append({name, value});
}

QStringList PropertyBag::names() const
{
    QStringList out;
    for (const auto& entry : m_values)
        out.append(entry.first);
    return out;
}

} // namespace rt
