#include "widgets/TourAnchor.h"

#include "state/Guidance.h"

#include <QScreen>
#include <QWidget>

namespace lumi {

TourAnchor::TourAnchor(Guidance& guidance, QWidget& view, int step, Edge edge, bool active)
    : QObject(&view), m_guidance(guidance), m_view(view), m_step(step), m_edge(edge), m_active(active)
{
    connect(&m_guidance, &Guidance::tourStepChanged, this, &TourAnchor::sync);
    sync();
}

TourAnchor::~TourAnchor()
{
    if (m_popover) {
        // Going away with its view is no reason to end the tour.
        m_popover->disconnect(this);
        m_popover->close();
    }
}

void TourAnchor::setActive(bool active)
{
    m_active = active;
    sync();
}

void TourAnchor::sync()
{
    const bool wanted = m_active && m_guidance.tourStep() == m_step && m_view.isVisible();
    if (!wanted) {
        if (m_popover)
            m_popover->close();
        return;
    }
    if (m_popover)
        return;
    m_popover = new TourPopover(m_guidance, m_step, m_edge);
    connect(m_popover, &TourPopover::closed, this, &TourAnchor::closed);
    const QRect anchor(m_view.mapToGlobal(QPoint(0, 0)), m_view.size());
    const QScreen* screen = m_view.screen();
    m_popover->placeAt(anchor, screen ? screen->availableGeometry() : QRect());
    m_popover->show();
}

void TourAnchor::closed()
{
    // A bubble closed because the tour moved on belongs to a step that is no longer shown.
    if (m_guidance.tourStep() == m_step)
        m_guidance.endTour();
}

} // namespace lumi
