#include "imaging/PhotoDecoder.h"

#include "imaging/LargeBitmap.h"

#include <QBuffer>
#include <QColorSpace>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QRectF centred(QSize canvas, QSize image, bool cover)
{
    const double canvasWidth = canvas.width();
    const double canvasHeight = canvas.height();
    if (image.isEmpty())
        return QRectF(0, 0, canvasWidth, canvasHeight);
    const double scaleX = canvasWidth / image.width();
    const double scaleY = canvasHeight / image.height();
    const double scale = cover ? std::max(scaleX, scaleY) : std::min(scaleX, scaleY);
    const double width = image.width() * scale;
    const double height = image.height() * scale;
    return QRectF((canvasWidth - width) / 2, (canvasHeight - height) / 2, width, height);
}

} // namespace

QImage PhotoDecoder::decodeBody(QByteArray body, const std::function<QImage(PhotoDecoder&)>& decode)
{
    if (body.startsWith("\xFF\xD8") && !body.endsWith("\xFF\xD9"))
        return QImage();
    QBuffer buffer(&body);
    buffer.open(QIODevice::ReadOnly);
    PhotoDecoder decoder(&buffer);
    return decode(decoder);
}

PhotoDecoder::PhotoDecoder(const QString& path) : m_reader(path)
{
    inspect();
}

PhotoDecoder::PhotoDecoder(QIODevice* device) : m_reader(device)
{
    inspect();
}

void PhotoDecoder::inspect()
{
    m_reader.setAutoTransform(true);
    m_stored = m_reader.size();
    if (!m_stored.isValid()) {
        m_problem = u"not an image: "_s + m_reader.errorString();
        return;
    }
    // The decoder scales before it turns, so sizes asked of it are in the stored orientation.
    m_turned = m_reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    m_upright = m_turned ? m_stored.transposed() : m_stored;
}

QImage PhotoDecoder::decodeNear(QSize upright, QString* error)
{
    if (!m_problem.isEmpty()) {
        *error = m_problem;
        return {};
    }
    const QSize wanted = m_turned ? upright.transposed() : upright;
    const bool shrunk = wanted.width() < m_stored.width() && wanted.height() < m_stored.height();
    if (shrunk)
        m_reader.setScaledSize(wanted);
    // Qt's JPEG reader fills a picture of the right size and format that it is handed, so the
    // pixels land in memory that is quick to touch; any other reader is left to its own.
    QImage photo;
    const QSize decoded = shrunk ? wanted : m_stored;
    const qint64 limit = qint64(m_reader.allocationLimit()) << 20;
    if (m_reader.format() == "jpeg" &&
        (limit == 0 || qint64(decoded.width()) * decoded.height() * 4 <= limit))
        photo = LargeBitmap::create(decoded, m_reader.imageFormat());
    if (!m_reader.read(&photo)) {
        *error = u"decode failed: "_s + m_reader.errorString();
        return {};
    }
    return photo;
}

QImage PhotoDecoder::decodeAt(QSize drawn, QString* error)
{
    QImage photo = decodeNear(drawn, error);
    if (photo.isNull() || photo.size() == drawn)
        return photo;
    const QColorSpace space = photo.colorSpace();
    photo = photo.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    photo.setColorSpace(space);
    if (photo.isNull())
        *error = u"no bitmap for the scaled photo"_s;
    return photo;
}

QImage PhotoDecoder::decodeWithin(int maxSide, QString* error)
{
    const bool larger = std::max(m_upright.width(), m_upright.height()) > maxSide;
    const QSize bounded =
        larger ? m_upright.scaled(maxSide, maxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)) : m_upright;
    return decodeAt(bounded, error);
}

QImage PhotoDecoder::decodeCovering(QSize target, QString* error)
{
    if (target.isEmpty()) {
        *error = u"nothing to cover (%1x%2)"_s.arg(target.width()).arg(target.height());
        return {};
    }
    QSize near = m_upright;
    const double factor = m_upright.isEmpty() ? 1.0
                                              : std::max(double(target.width()) / m_upright.width(),
                                                         double(target.height()) / m_upright.height());
    if (factor < 1.0)
        near = QSize(std::max(1, int(std::ceil(m_upright.width() * factor))),
                     std::max(1, int(std::ceil(m_upright.height() * factor))));
    QImage image = decodeNear(near, error);
    if (image.isNull())
        return image;
    return cover(std::move(image), target);
}

QImage PhotoDecoder::cover(QImage image, QSize target)
{
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    if (image.size() == target)
        return image;
    const QRect crop = coverCrop(image.size(), target);
    // The crop as a view into the picture's rows: scaling reads it in place, with no copy between.
    const QImage view(image.constScanLine(crop.y()) + qsizetype(crop.x()) * 4, crop.width(), crop.height(),
                      image.bytesPerLine(), QImage::Format_RGB32);
    if (crop.size() == target)
        return view.copy();
    return view.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QRect PhotoDecoder::coverCrop(QSize source, QSize target)
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

QRectF PhotoDecoder::coverRect(QSize canvas, QSize image)
{
    return centred(canvas, image, true);
}

QRectF PhotoDecoder::containRect(QSize canvas, QSize image)
{
    return centred(canvas, image, false);
}

} // namespace lumi
