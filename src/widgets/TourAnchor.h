#pragma once

#include "widgets/TourPopover.h"

#include <QObject>
#include <QPointer>

namespace lumi {

class Guidance;

/// Ties a tour step to a view: while the guidance shows that step, the step's bubble pops up beside
/// the view. Closing the bubble some other way than the tour's own buttons (a click outside,
/// Escape) ends the tour.
class TourAnchor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TourAnchor)

public:
    using Edge = TourPopover::Edge;

    /// The anchor lives as long as the view it is attached to.
    TourAnchor(Guidance& guidance, QWidget& view, int step, Edge edge, bool active = true);
    ~TourAnchor() override;

    void setActive(bool active);
    /// The bubble on screen now, if any.
    TourPopover* popover() const { return m_popover; }

private:
    void sync();
    void closed();

    Guidance& m_guidance;
    QWidget& m_view;
    int m_step;
    Edge m_edge;
    bool m_active;
    QPointer<TourPopover> m_popover;
};

} // namespace lumi
