#pragma once

#include <QProgressBar>

namespace rt {

// The runtime's progress bar: Min, Max and Value, no text. A value outside the range
// is held at the nearer end rather than ignored, so a count that runs past the maximum
// still shows a full bar.
class ProgressBar : public QProgressBar {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    int Min() const { return minimum(); }
    void setMin(int value);
    int Max() const { return maximum(); }
    void setMax(int value);
    int Value() const { return value(); }
    void setValue(int value);
};

} // namespace rt
