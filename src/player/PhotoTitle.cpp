#include "player/PhotoTitle.h"

#include "imaging/BundledFonts.h"
#include "player/DevicePixels.h"
#include "wallpaper/AlphaShadow.h"

#include <QFontMetricsF>
#include <QPainter>

namespace lumi {

namespace {

constexpr qreal sideMargin = 36;
constexpr qreal bottomMargin = 28;
constexpr qreal fontSize = 22;
// Room around the text for its shadow.
constexpr int shadowRoom = 12;

QFont titleFont()
{
    BundledFonts::ensureRegistered();
    return BundledFonts::font(fontSize, QFont::Normal);
}

QRectF wrappedRect(const QString& text, qreal width)
{
    return QFontMetricsF(titleFont())
        .boundingRect(QRectF(0, 0, std::max<qreal>(width, 1), 1e6), Qt::TextWordWrap | Qt::AlignLeft, text);
}

} // namespace

PhotoTitle::PhotoTitle(QString text) : m_text(std::move(text)) {}

QRectF PhotoTitle::textRect(const QRectF& area) const
{
    const QRectF text = wrappedRect(m_text, area.width() - 2 * sideMargin);
    return QRectF(area.left() + sideMargin, area.bottom() - bottomMargin - text.height(), text.width(),
                  text.height());
}

void PhotoTitle::paint(QPainter& painter, const QRectF& area)
{
    if (m_text.isEmpty() || area.isEmpty())
        return;
    const QRectF text = textRect(area);
    const qreal ratio = devicePixelRatio(painter);
    if (m_renderedWidth != area.width() || m_renderedRatio != ratio) {
        m_renderedWidth = area.width();
        m_renderedRatio = ratio;
        m_rendered = transparentImage(text.size().toSize() + QSize(2 * shadowRoom, 2 * shadowRoom), ratio);
        QPainter canvas(&m_rendered);
        const QRectF local(QPointF(shadowRoom, shadowRoom), text.size());
        const auto drawText = [&](QPainter& on, const QColor& color) {
            on.setFont(titleFont());
            on.setPen(color);
            on.drawText(local, Qt::TextWordWrap | Qt::AlignLeft, m_text);
        };
        AlphaShadow::paint(canvas, QRectF(QPointF(), m_rendered.deviceIndependentSize()), 6,
                           QColor(0, 0, 0, 153), [&](QPainter& mask) { drawText(mask, Qt::black); });
        drawText(canvas, Qt::white);
    }
    painter.drawImage(text.topLeft() - QPointF(shadowRoom, shadowRoom), m_rendered);
}

} // namespace lumi
