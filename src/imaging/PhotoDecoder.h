#pragma once

#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>

namespace lumi {

/// Reads one photo file near the size it is drawn at, its EXIF orientation applied. Only shrinking
/// is asked of the decoder: libjpeg then scales in the DCT and never builds the full-size bitmap,
/// which is what keeps composing a 5K wallpaper fast. One decode per object; safe on any thread.
class PhotoDecoder final
{
public:
    explicit PhotoDecoder(const QString& path);
    /// Reads from device (a downloaded body, say), which must outlive the decoder.
    explicit PhotoDecoder(QIODevice* device);
    Q_DISABLE_COPY_MOVE(PhotoDecoder)

    /// Qt's default limit refuses the full-size decode of a 6000x4000 camera photo.
    void setAllocationLimit(int mebibytes) { m_reader.setAllocationLimit(mebibytes); }

    /// The photo's size with its orientation applied; invalid when the file is no readable image.
    QSize size() const { return m_upright; }
    /// Why the file is no readable image ("not an image: …"); empty when it is one.
    QString problem() const { return m_problem; }

    /// The photo at exactly drawn (its aspect is the caller's business): decoded near it, then
    /// scaled smoothly when the decoder did not hit it. Null with *error set on failure.
    QImage decodeAt(QSize drawn, QString* error);
    /// The photo with its larger side at most maxSide, never enlarged.
    QImage decodeWithin(int maxSide, QString* error);
    /// The photo covering target exactly (QImage::Format_RGB32): scaled proportionally and cut to
    /// target's aspect around the centre, the way a desktop fills a screen with it.
    QImage decodeCovering(QSize target, QString* error);

    /// image covering target exactly (QImage::Format_RGB32), cut and scaled as decodeCovering does.
    static QImage cover(QImage image, QSize target);
    /// decode run over a downloaded body; null for a JPEG body without its end-of-image mark,
    /// which Qt would decode grey below the cut.
    static QImage decodeBody(QByteArray body, const std::function<QImage(PhotoDecoder&)>& decode);

    /// The centred part of a picture of size source that has target's aspect.
    static QRect coverCrop(QSize source, QSize target);
    /// Where a picture of size image lies, centred, when it covers a canvas (the overflow cut off).
    static QRectF coverRect(QSize canvas, QSize image);
    /// Where a picture of size image lies, centred, when it fits inside a canvas (bars beside it).
    static QRectF containRect(QSize canvas, QSize image);

private:
    /// Reads the stored size and orientation, or why there is no image.
    void inspect();
    /// Decoded at upright size when that shrinks the photo on both sides, else at its own size.
    QImage decodeNear(QSize upright, QString* error);

    QImageReader m_reader;
    QSize m_stored;
    QSize m_upright;
    bool m_turned = false;
    QString m_problem;
};

} // namespace lumi
