#pragma once

// Header only: the control library's tests use it without linking the test support.
#include <QEvent>
#include <QList>
#include <QObject>
#include <QWidget>

namespace testsupport {

// Records every place a widget is moved to (its top, in move order).
class MoveRecorder : public QObject {
public:
    explicit MoveRecorder(QWidget* watched) { watched->installEventFilter(this); }
    QList<int> tops;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Move)
            tops.append(static_cast<QWidget*>(watched)->y());
        return false;
    }
};

} // namespace testsupport
