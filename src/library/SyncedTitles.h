#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace lumi {

/// The titles of the synced photos as the last pass listed them, by short photo id: what a
/// synced photo is called while the service can't be asked (its file name has lost accents,
/// punctuation and the difference between "Lumivale" and no title at all). One JSON file,
/// replaced whole.
class SyncedTitles final
{
public:
    SyncedTitles() = delete;

    /// "sync-titles.json" beside the settings.
    static QString defaultFile();
    /// Short id to title; an untitled photo has an empty title. Empty when the file is missing or
    /// not what this class writes.
    static QHash<QString, QString> read(const QString& file);
    /// Replaces the file; the reason when it could not.
    static std::optional<QString> write(const QString& file, const QHash<QString, QString>& titles);
};

} // namespace lumi
