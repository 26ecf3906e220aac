#include "settings/CalendarPreview.h"

#include "imaging/PhotoDecoder.h"
#include "wallpaper/CalendarRenderer.h"
#include "wallpaper/CalendarService.h"

#include <QDate>
#include <QPainter>
#include <QPainterPath>

namespace lumi {

namespace {

constexpr qreal cornerRadius = 8;
constexpr qreal margin = 12;
// The preview's width stands for a desktop this wide.
constexpr qreal desktopWidth = 1920;
constexpr double renderZoom = 2;

} // namespace

CalendarPreview::CalendarPreview(const CalendarService& calendar, QWidget* parent)
    : QWidget(parent), m_calendar(calendar)
{
    setFixedSize(previewSize);
}

void CalendarPreview::setPhoto(std::optional<QImage> photo)
{
    m_photo = std::move(photo);
    update();
}

void CalendarPreview::setSettings(std::optional<CalendarSettings> settings)
{
    m_settings = std::move(settings);
    update();
}

QImage CalendarPreview::compose(qreal scale) const
{
    QImage image(previewSize * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF area(QPointF(0, 0), QSizeF(previewSize));
    QPainterPath clip;
    clip.addRoundedRect(area, cornerRadius, cornerRadius);
    painter.setClipPath(clip);
    painter.fillRect(area, flatColour());
    if (m_photo && !m_photo->isNull())
        painter.drawImage(area, *m_photo, QRectF(PhotoDecoder::coverCrop(m_photo->size(), previewSize)));
    if (!m_settings)
        return image;
    const CalendarRequest request = m_calendar.makeRequest(*m_settings, QDate::currentDate());
    const std::optional<QImage> card = CalendarRenderer::render(request, renderZoom);
    if (!card || card->isNull())
        return image;
    const qreal width = CalendarRenderer::imageSize(request).width() / desktopWidth * previewSize.width() *
                        CalendarService::zoomScale(m_settings->size);
    const qreal height = width * card->height() / card->width();
    const bool right = m_settings->position.endsWith(u"right");
    const bool bottom = m_settings->position.startsWith(u"bottom");
    const QPointF at(right ? area.right() - margin - width : margin,
                     bottom ? area.bottom() - margin - height : margin);
    painter.setOpacity(m_settings->opacity / 100.0);
    painter.drawImage(QRectF(at, QSizeF(width, height)), *card);
    return image;
}

void CalendarPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), compose(devicePixelRatioF()));
}

} // namespace lumi
