#include "player/ReflectionsEffect.h"

#include "imaging/BundledFonts.h"
#include "player/DevicePixels.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace lumi {

namespace {

constexpr qreal photoWidth = 0.8;
constexpr qreal photoHeight = 0.58;
constexpr qreal reflectionHeight = 0.22;
constexpr qreal reflectionOpacity = 0.35;
constexpr qreal spacing = 2;
constexpr qreal swingDegrees = 45;
constexpr int titleFlags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop;

QFont titleFont()
{
    BundledFonts::ensureRegistered();
    return BundledFonts::font(20, QFont::Normal);
}

} // namespace

ReflectionsEffect::ReflectionsEffect(PlaySettings settings) : m_settings(settings) {}

QTransform ReflectionsEffect::swing(QSizeF area, qreal degrees)
{
    const qreal radians = qDegreesToRadians(degrees);
    const qreal eye = 2 * std::max(area.width(), area.height());
    const QTransform turn(std::cos(radians), 0, -std::sin(radians) / eye, 0, 1, 0, 0, 0, 1);
    const QPointF centre(area.width() / 2, area.height() / 2);
    return QTransform::fromTranslate(-centre.x(), -centre.y()) * turn *
           QTransform::fromTranslate(centre.x(), centre.y());
}

void ReflectionsEffect::photoChanged(const std::optional<ShownPhoto>& photo, Transition transition)
{
    m_layers.change(photo ? photo->id : QUuid(),
                    photo ? std::optional(Reflected{*photo, QSizeF(), QImage(), QPointF()}) : std::nullopt,
                    transition);
}

void ReflectionsEffect::compose(Reflected& reflected, QSizeF area, qreal ratio) const
{
    reflected.area = area;
    const QImage& image = reflected.photo.image;
    const QSize photo =
        QSizeF(image.size())
            .scaled(area.width() * photoWidth, area.height() * photoHeight, Qt::KeepAspectRatio)
            .toSize()
            .expandedTo(QSize(1, 1));
    const int mirrorHeight = int(std::round(area.height() * reflectionHeight));
    const QString title = m_settings.showTitles ? reflected.photo.medium.displayTitle() : QString();
    const QRectF titleBox =
        title.isEmpty() ? QRectF()
                        : QFontMetricsF(titleFont())
                              .boundingRect(QRectF(0, 0, area.width() * photoWidth, 1e6), titleFlags, title);
    const int width = int(std::ceil(std::max<qreal>(photo.width(), titleBox.width())));
    const int height = int(std::ceil(photo.height() + spacing + mirrorHeight +
                                     (title.isEmpty() ? 0 : spacing + titleBox.height())));

    reflected.composed = transparentImage(QSizeF(width, height), ratio);
    QPainter canvas(&reflected.composed);
    QImage scaled = image.scaled(photo * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    scaled.setDevicePixelRatio(ratio);
    const int left = (width - photo.width()) / 2;
    canvas.drawImage(left, 0, scaled);

    // The mirror shows the rows nearest the photo's bottom edge, fading out downwards.
    QImage mirror = scaled.mirrored(false, true)
                        .copy(0, 0, scaled.width(), int(std::min(mirrorHeight, photo.height()) * ratio));
    mirror.setDevicePixelRatio(ratio);
    {
        QPainter fade(&mirror);
        fade.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient gradient(0, 0, 0, mirrorHeight);
        gradient.setColorAt(0, QColor::fromRgbF(0, 0, 0, reflectionOpacity));
        gradient.setColorAt(1, Qt::transparent);
        fade.fillRect(mirror.rect(), gradient);
    }
    canvas.drawImage(left, int(photo.height() + spacing), mirror);

    if (!title.isEmpty()) {
        canvas.setFont(titleFont());
        canvas.setPen(QColor::fromRgbF(1, 1, 1, 0.85));
        canvas.drawText(
            QRectF(0, photo.height() + spacing + mirrorHeight + spacing, width, titleBox.height()),
            titleFlags, title);
    }
    reflected.origin =
        QPointF(std::round((area.width() - width) / 2), std::round((area.height() - height) / 2));
}

void ReflectionsEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    m_layers.prune(now);
    const qreal ratio = devicePixelRatio(painter);
    auto backdrop = SwingRenderer::Backdrop::black;
    for (auto& layer : m_layers.layers()) {
        Reflected& reflected = layer.look;
        if (reflected.area != area || reflected.composed.devicePixelRatio() != ratio)
            compose(reflected, area, ratio);
        const qreal angle = -swingDegrees * (1 - layer.insertion(now)) + swingDegrees * layer.removal(now);
        painter.save();
        painter.setOpacity(layer.opacity(now));
        // Unturned too: a full-screen picture is copied across the cores, its empty parts skipped.
        m_swing.draw(painter, reflected.composed,
                     QTransform::fromTranslate(reflected.origin.x(), reflected.origin.y()) *
                         swing(area, angle),
                     area, backdrop);
        painter.restore();
        backdrop = SwingRenderer::Backdrop::anything;
    }
}

bool ReflectionsEffect::isMoving(std::chrono::milliseconds now) const
{
    return m_layers.isMoving(now);
}

// The photo drawn first sets every pixel, black around it.
bool ReflectionsEffect::coversArea(QSizeF, std::chrono::milliseconds now) const
{
    return m_layers.isShowing(now);
}

} // namespace lumi
