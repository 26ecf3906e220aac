#include "imaging/PictureDecode.h"

#include "imaging/PhotoDecoder.h"

namespace lumi {

namespace {

QSize keptSize(QSize photo, QSize cover)
{
    if (!photo.isValid() || !cover.isValid())
        return photo;
    const QSize covering = photo.scaled(cover, Qt::KeepAspectRatioByExpanding);
    return covering.width() < photo.width() ? covering : photo;
}

QImage decodeKept(PhotoDecoder& decoder, QSize cover)
{
    if (!decoder.size().isValid())
        return QImage();
    QString error;
    return decoder.decodeAt(keptSize(decoder.size(), cover), &error);
}

} // namespace

QImage PictureDecode::file(const QString& path, QSize cover)
{
    PhotoDecoder decoder(path);
    return decodeKept(decoder, cover);
}

QImage PictureDecode::body(QByteArray body, QSize cover)
{
    return PhotoDecoder::decodeBody(std::move(body),
                                    [cover](PhotoDecoder& decoder) { return decodeKept(decoder, cover); });
}

} // namespace lumi
