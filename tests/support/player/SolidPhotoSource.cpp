#include "support/player/SolidPhotoSource.h"

#include "support/TestImages.h"

using namespace Qt::StringLiterals;

namespace lumi::test {

QCoro::Task<std::optional<QImage>> SolidPhotoSource::image(Medium medium, bool large)
{
    requests.append(medium.uuid);
    lastLarge = large;
    if (large)
        largeRequests.insert(medium.uuid);
    if (failing.contains(medium.uuid))
        co_return std::nullopt;
    if (medium.uuid.startsWith(u"stripes "_s)) {
        const QStringList size = medium.uuid.mid(8).split(u'x');
        QImage stripes(size.value(0).toInt(), size.value(1).toInt(), QImage::Format_RGB32);
        for (int y = 0; y < stripes.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(stripes.scanLine(y));
            for (int x = 0; x < stripes.width(); ++x)
                line[x] = x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        }
        co_return stripes;
    }
    co_return solidImage(QSize(32, 18), QColor(medium.uuid));
}

QList<Medium> colourPhotos(const QStringList& colours)
{
    QList<Medium> media;
    for (const QString& colour : colours)
        media.append(Medium{.uuid = colour});
    return media;
}

} // namespace lumi::test
