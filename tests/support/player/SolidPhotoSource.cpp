#include "support/player/SolidPhotoSource.h"

#include "support/TestImages.h"

namespace lumi::test {

QCoro::Task<std::optional<QImage>> SolidPhotoSource::image(Medium medium, bool large)
{
    requests.append(medium.uuid);
    lastLarge = large;
    if (large)
        largeRequests.insert(medium.uuid);
    if (failing.contains(medium.uuid))
        co_return std::nullopt;
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
