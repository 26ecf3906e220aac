#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;

namespace lumi {

/// A photo's caption: white text with a soft black shadow, 36 pixels from the left edge and 28
/// above the bottom of its area, wrapping within the side margins. Drawn once per area width.
class PhotoTitle final
{
public:
    explicit PhotoTitle(QString text = QString());

    void paint(QPainter& painter, const QRectF& area);
    /// Where the text goes in `area` (its glyphs lie inside).
    QRectF textRect(const QRectF& area) const;

private:
    QString m_text;
    QImage m_rendered;
    qreal m_renderedWidth = -1;
    qreal m_renderedRatio = 0;
};

} // namespace lumi
