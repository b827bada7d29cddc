#pragma once

#include <QCollator>
#include <QString>

namespace rt {

// Text order as the user expects it in lists and sorted boxes: Greek-aware, without
// regard to letter case (accents still order words that differ only by them).
const QCollator& textCollator();
int CompareText(const QString& a, const QString& b);

} // namespace rt
