#include "platform/PaintPacing.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace rt {

PaintPacing::PaintPacing(QWidget& window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("PaintPacing"));
    m_gapEnd.setSingleShot(true);
    connect(&m_gapEnd, &QTimer::timeout, this, &PaintPacing::paintNow);
    window.installEventFilter(this);
}

void PaintPacing::install(QWidget& window)
{
    if (!installed(window))
        new PaintPacing(window);
}

bool PaintPacing::installed(const QWidget& window)
{
    return window.findChild<PaintPacing*>(QStringLiteral("PaintPacing"),
                                          Qt::FindDirectChildrenOnly) != nullptr;
}

bool PaintPacing::eventFilter(QObject* watched, QEvent* event)
{
    // The toolkit asks a window to paint what is dirty in it with this one event, both
    // for update() (posted) and for repaint() (sent); the dirty parts stay marked until
    // the window paints, so holding the request back loses nothing.
    if (watched != &m_window || event->type() != QEvent::UpdateRequest || m_painting)
        return false;
    const qint64 since = m_sincePaint.isValid() ? m_sincePaint.elapsed() : kGapMs;
    if (since >= kGapMs) {
        // The gap has passed even where its timer could not run (a wait that handles
        // paints only): this request paints, and the timer has nothing left to do.
        m_gapEnd.stop();
        m_sincePaint.start();
        return false;
    }
    if (!m_gapEnd.isActive())
        m_gapEnd.start(int(kGapMs - since));
    return true;
}

void PaintPacing::paintNow()
{
    m_painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&m_window, &request);
    m_painting = false;
    m_sincePaint.start();
}

} // namespace rt
