#include "player/InfoShowEffect.h"

#include "imaging/BundledFonts.h"
#include "player/DevicePixels.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace lumi {

namespace {

constexpr qreal photoMargin = 40;
constexpr qreal panelWidth = 440;
constexpr qreal panelTrailing = 56;
constexpr qreal panelSpacing = 18;
constexpr qreal descriptionLineSpacing = 5;

// Lays the text out in lines of at most `width`, `extraLeading` apart; returns its height.
qreal layOut(QTextLayout& layout, qreal width, qreal extraLeading)
{
    layout.setTextOption(QTextOption(Qt::AlignLeft | Qt::AlignTop));
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (y > 0)
            y += extraLeading;
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

} // namespace

QRectF InfoShowEffect::photoArea(QSizeF area)
{
    return QRectF(0, 0, area.width() - panelWidth - panelTrailing, area.height())
        .adjusted(photoMargin, photoMargin, -photoMargin, -photoMargin);
}

QRectF InfoShowEffect::panelArea(QSizeF area)
{
    return QRectF(area.width() - panelWidth - panelTrailing, 0, panelWidth, area.height());
}

void InfoShowEffect::photoChanged(const std::optional<ShownPhoto>& photo, Transition transition)
{
    std::optional<Story> story;
    if (photo)
        story = Story{PhotoImage(photo->image), photo->medium.displayTitle(),
                      photo->medium.description.value_or(QString()), QImage()};
    m_layers.change(photo ? photo->id : QUuid(), std::move(story), transition);
}

void InfoShowEffect::composePanel(Story& story, QSizeF area, qreal ratio)
{
    BundledFonts::ensureRegistered();
    story.panelHeight = area.height();
    QTextLayout title(story.title, BundledFonts::font(30, QFont::Normal));
    const qreal titleHeight = layOut(title, panelWidth, 0);
    QTextLayout description(story.description, BundledFonts::font(17, QFont::Normal));
    const qreal descriptionHeight =
        story.description.isEmpty() ? 0 : layOut(description, panelWidth, descriptionLineSpacing);
    const qreal height = titleHeight + (story.description.isEmpty() ? 0 : panelSpacing + descriptionHeight);

    story.panel = transparentImage(QSizeF(panelWidth, std::ceil(height)), ratio);
    QPainter canvas(&story.panel);
    canvas.setPen(Qt::white);
    title.draw(&canvas, QPointF());
    if (!story.description.isEmpty()) {
        canvas.setOpacity(0.82);
        description.draw(&canvas, QPointF(0, titleHeight + panelSpacing));
    }
}

void InfoShowEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    m_layers.prune(now);
    const QRectF panel = panelArea(area);
    const qreal ratio = devicePixelRatio(painter);
    for (auto& layer : m_layers.layers()) {
        Story& story = layer.look;
        if (story.panelHeight != area.height() || story.panel.devicePixelRatio() != ratio)
            composePanel(story, area, ratio);
        painter.setOpacity(layer.opacity(now));
        story.image.paint(painter, photoArea(area), false);
        const qreal panelHeight = story.panel.deviceIndependentSize().height();
        painter.drawImage(QPointF(panel.left(), std::round((area.height() - panelHeight) / 2)), story.panel);
    }
    painter.setOpacity(1);
}

bool InfoShowEffect::isMoving(std::chrono::milliseconds now) const
{
    return m_layers.isMoving(now);
}

} // namespace lumi
