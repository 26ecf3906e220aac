#pragma once

#include <QWidget>

namespace lumi {

class Guidance;
class TourCallout;

/// A popup bubble holding one tour step, with its arrow pointing at the view the step talks about.
/// Like any popup it closes on a click outside it or on Escape.
class TourPopover final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TourPopover)

public:
    /// The side of the anchored view that the bubble sits on.
    enum class Edge { top, leading, bottom, trailing };

    TourPopover(Guidance& guidance, int step, Edge edge);

    TourCallout* callout() const { return m_callout; }
    /// Places the bubble beside the anchor (global coordinates), kept on the anchor's screen.
    void placeAt(const QRect& anchor, const QRect& screen);

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPainterPath outline() const;

    Edge m_edge;
    TourCallout* m_callout = nullptr;
    /// Where along its side the arrow's tip sits, in the bubble's coordinates.
    int m_arrowAt = 0;
};

} // namespace lumi
