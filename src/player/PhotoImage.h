#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

namespace lumi {

/// A photo drawn into an area, filling it (cut at the edges) or fitted whole. The photo is scaled
/// once per drawn size, in device pixels, and then only copied, so frames of an animation cost a
/// blit and a scaled screen shows it sharp.
class PhotoImage final
{
public:
    explicit PhotoImage(QImage image = QImage());

    /// Draws the photo centred in `area`, clipped to it.
    void paint(QPainter& painter, const QRectF& area, bool crop);
    /// Draws the photo scaled to `target`, from a copy scaled to that size once.
    void paintScaled(QPainter& painter, const QRectF& target);

    /// The photo's rectangle when it fills or fits `area`, centred on it.
    QRectF placed(const QRectF& area, bool crop) const;
    QSizeF size() const { return m_image.size(); }
    const QImage& image() const { return m_image; }

    /// The photo scaled to `size` device pixels and tagged with `ratio` device pixels per unit,
    /// made once and kept until another size is asked for.
    const QImage& scaledTo(QSize size, qreal ratio = 1);

private:
    QImage m_image;
    QImage m_scaled;
};

} // namespace lumi
