#include "platform/ProgressBar.h"

#include <algorithm>

namespace rt {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
    setRange(0, 100);
    QProgressBar::setValue(0);
}

void ProgressBar::setMin(int value)
{
    const int v = Value();
    setMinimum(value);
    setValue(v);
}

void ProgressBar::setMax(int value)
{
    const int v = Value();
    setMaximum(value);
    setValue(v);
}

void ProgressBar::setValue(int value)
{
    // Qt ignores a value outside the range, and a new range that excludes the value
    // empties the bar; the runtime's bar kept its place.
    QProgressBar::setValue(std::clamp(value, minimum(), std::max(minimum(), maximum())));
}

} // namespace rt
