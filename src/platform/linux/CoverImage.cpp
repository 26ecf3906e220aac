#include "platform/linux/CoverImage.h"

#include <QImageReader>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

QRect CoverImage::sourceRect(QSize source, QSize target)
{
    if (source.isEmpty() || target.isEmpty())
        return {};
    const qint64 sw = source.width(), sh = source.height();
    const qint64 tw = target.width(), th = target.height();
    if (sw * th > tw * sh) {
        // Wider than the target: keep the full height.
        const int width = static_cast<int>(std::clamp<qint64>((sh * tw + th / 2) / th, 1, sw));
        return QRect((source.width() - width) / 2, 0, width, source.height());
    }
    const int height = static_cast<int>(std::clamp<qint64>((sw * th + tw / 2) / tw, 1, sh));
    return QRect(0, (source.height() - height) / 2, source.width(), height);
}

QImage CoverImage::load(const QString& path, QSize target, QString* error)
{
    if (target.isEmpty()) {
        *error = u"nothing to cover (%1x%2)"_s.arg(target.width()).arg(target.height());
        return {};
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize raw = reader.size();
    if (!raw.isValid()) {
        *error = u"cannot read %1: %2"_s.arg(path, reader.errorString());
        return {};
    }
    // Scaling happens before the orientation is applied, so compare in the upright orientation.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? raw.transposed() : raw;
    const double factor =
        std::max(double(target.width()) / upright.width(), double(target.height()) / upright.height());
    if (factor < 1.0) {
        const QSize decoded(std::max(1, int(std::ceil(raw.width() * factor))),
                            std::max(1, int(std::ceil(raw.height() * factor))));
        reader.setScaledSize(decoded);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *error = u"cannot read %1: %2"_s.arg(path, reader.errorString());
        return {};
    }
    if (image.size() != target) {
        const QRect crop = sourceRect(image.size(), target);
        if (crop.size() != image.size())
            image = image.copy(crop);
        if (image.size() != target)
            image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

} // namespace lumi
