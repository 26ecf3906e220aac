#pragma once

#include "player/PhotoImageSource.h"

#include <QColor>
#include <QSet>
#include <QStringList>

namespace lumi::test {

/// Answers every photo with a small image of the colour its uuid names ("red", "#00ff00"), or,
/// for "stripes WxH", an image of that size in black and white columns one pixel wide; except
/// the photos chosen to fail. Stands in for the loader where the files and the network are not
/// what a test is about.
class SolidPhotoSource final : public PhotoImageSource
{
public:
    QCoro::Task<std::optional<QImage>> image(Medium medium, bool large) override;
    void clear() override { ++clears; }

    /// Photos (by uuid) whose load gives none.
    QSet<QString> failing;
    /// Every uuid asked for, in order.
    QStringList requests;
    /// The `large` flag of the last request.
    bool lastLarge = false;
    /// Uuids asked for in their large variant.
    QSet<QString> largeRequests;
    int clears = 0;
};

/// Photos whose uuids are the colour names given.
QList<Medium> colourPhotos(const QStringList& colours);

} // namespace lumi::test
