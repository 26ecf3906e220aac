#include "player/PhotoImage.h"

#include "player/DevicePixels.h"

#include <QPainter>

#include <cmath>

namespace lumi {

PhotoImage::PhotoImage(QImage image) : m_image(std::move(image)) {}

QRectF PhotoImage::placed(const QRectF& area, bool crop) const
{
    if (m_image.isNull() || area.isEmpty())
        return QRectF();
    const QSizeF size = QSizeF(m_image.size())
                            .scaled(area.size(), crop ? Qt::KeepAspectRatioByExpanding : Qt::KeepAspectRatio);
    QRectF rect(QPointF(), size);
    rect.moveCenter(area.center());
    // Whole pixels, so drawing is a plain copy of the pre-scaled photo.
    return QRectF(QPointF(std::round(rect.x()), std::round(rect.y())),
                  QSizeF(std::round(rect.width()), std::round(rect.height())));
}

void PhotoImage::paint(QPainter& painter, const QRectF& area, bool crop)
{
    const QRectF target = placed(area, crop);
    if (target.isEmpty())
        return;
    painter.save();
    if (crop)
        painter.setClipRect(area, Qt::IntersectClip);
    paintScaled(painter, target);
    painter.restore();
}

void PhotoImage::paintScaled(QPainter& painter, const QRectF& target)
{
    if (m_image.isNull() || target.isEmpty())
        return;
    // A painter that scales or turns further draws the scaled copy transformed.
    const qreal ratio = devicePixelRatio(painter);
    const QImage& scaled = scaledTo((target.size() * ratio).toSize().expandedTo(QSize(1, 1)), ratio);
    painter.drawImage(target, scaled);
}

const QImage& PhotoImage::scaledTo(QSize size, qreal ratio)
{
    if (m_scaled.size() != size || m_scaled.devicePixelRatio() != ratio) {
        const QImage::Format format =
            m_image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
        m_scaled = m_image.size() == size
                       ? m_image.convertToFormat(format)
                       : m_image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(format);
        m_scaled.setDevicePixelRatio(ratio);
    }
    return m_scaled;
}

} // namespace lumi
