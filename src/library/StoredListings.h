#pragma once

#include "library/RotationLibrary.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <variant>

namespace lumi {

/// The listings of the last complete sync pass, kept beside the sync state so that a launch whose
/// first pass finds nothing changed builds the wallpaper pool without listing every playlist from
/// the service again. One JSON file, replaced whole; it names the state of the pass it came from,
/// so listings of any other pass are never taken for the current ones.
class StoredListings final
{
public:
    StoredListings() = delete;

    struct Stored
    {
        /// The state text of the pass that listed them ("sync-state").
        QString state;
        QDateTime listedAt;
        PlaylistListings listings;
    };

    /// "sync-listings.json" beside the settings.
    static QString defaultFile();
    /// The stored listings, or why there are none usable (missing, unreadable, not what this
    /// class writes).
    static std::variant<Stored, QString> read(const QString& file);
    /// Replaces the file; the reason when it could not.
    static std::optional<QString> write(const QString& file, const Stored& stored);
};

} // namespace lumi
