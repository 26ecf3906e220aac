#include "player/RasterTarget.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <cmath>

namespace lumi {

std::optional<RasterTarget> RasterTarget::of(QPainter& painter)
{
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return std::nullopt;
    // A widget's painter reports the widget; its engine, the backing store's image.
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return std::nullopt;
    auto* image = static_cast<QImage*>(device);
    if (image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32_Premultiplied)
        return std::nullopt;
    const QTransform& toPixels = painter.deviceTransform();
    if (toPixels.type() > QTransform::TxScale)
        return std::nullopt;

    QRegion clip(image->rect());
    if (const QRegion system = engine->systemClip(); !system.isEmpty())
        clip &= system;
    if (painter.hasClipping())
        clip &= toPixels.map(painter.clipRegion());
    // bits() would detach an image shared since the painter began and leave these writes
    // outside what the painter shows; the engine keeps writing into these bytes either way.
    return RasterTarget{const_cast<uchar*>(image->constBits()), image->bytesPerLine(), toPixels, clip,
                        int(std::lround(painter.opacity() * 256))};
}

} // namespace lumi
