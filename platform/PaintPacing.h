#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace rt {

// Paints a window at most once per kGapMs. A window whose contents change many times a
// second (a batch that moves on to its next message every millisecond or two, each step
// changing a status line, a count and a list) would otherwise be painted and handed to
// the window system once per change, which costs far more than the change itself; paced,
// what changed within one gap is painted together when the gap has passed. A change after
// a quiet moment is painted as soon as it would have been, so the pacing shows only in
// such runs of changes. Exposure (a window uncovered or shown) is painted at once.
//
// The widgets take every change at once (texts, values, items); only their painting is
// gathered. Within a gap a repaint() of one of them paints nothing at once: the gap's
// end paints it, from the event loop, or the next repaint() after the gap does.
class PaintPacing : public QObject {
    Q_OBJECT

public:
    // 25 paints a second: smooth for a count or a bar that moves on, and far fewer than a
    // batch's steps. The list views gather their changes for as long (ListView).
    static constexpr int kGapMs = 40;

    // Paces the window (a top-level widget) from now on; once per window.
    static void install(QWidget& window);
    static bool installed(const QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit PaintPacing(QWidget& window);
    void paintNow();

    QWidget& m_window;
    QElapsedTimer m_sincePaint; // invalid until the window first paints
    QTimer m_gapEnd;
    bool m_painting = false;
};

} // namespace rt
