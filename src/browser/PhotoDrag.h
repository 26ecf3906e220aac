#pragma once

#include "model/Medium.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QMimeData;

namespace lumi {

/// The photos one drag carries from the grid to a playlist row: {"media": [...]} in the photos'
/// own JSON form, under the app's own type. Read strictly, and refused when oversized, so a
/// foreign or hostile drop never reaches a playlist.
struct PhotoDrag final
{
    QList<Medium> media{};

    static constexpr qsizetype maxBytes = 4 * 1024 * 1024;
    static constexpr qsizetype maxPhotos = 10000;

    static QString mimeType();

    QByteArray encode() const;
    /// None for anything but one JSON object whose "media" holds valid photos within the bounds.
    static std::optional<PhotoDrag> decode(const QByteArray& payload);

    /// Owned by the caller (a QDrag takes it).
    QMimeData* toMimeData() const;
    /// None when the data carries no payload of this type or it does not decode.
    static std::optional<PhotoDrag> fromMimeData(const QMimeData& data);

    bool operator==(const PhotoDrag&) const = default;
};

} // namespace lumi
