#include "platform/TextCompare.h"

#include <QLocale>

namespace rt {

const QCollator& textCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Greek, QLocale::Greece));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

int CompareText(const QString& a, const QString& b)
{
    return textCollator().compare(a, b);
}

} // namespace rt
