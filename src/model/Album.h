#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// One playlist. Read tolerantly except for "id", which must be a JSON integer: the id is the
// album's identity in every request, so an album without a usable one is worthless.
struct Album final
{
    qint64 id = 0;
    QString title{};
    // The album's path segment in album requests; "favorites" and "wallpaper" mark the special playlists.
    QString titleFragment{};
    std::optional<bool> includeInPaper{};
    std::optional<bool> includeInSaver{};
    std::optional<qint64> count{};
    std::optional<QString> externalId{};
    // Set for a linked local folder.
    std::optional<QString> localPath{};

    static std::optional<Album> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    bool isFavorites() const { return titleFragment == QLatin1StringView("favorites"); }
    // Its photos are the files of a folder on this computer, never removed by the app.
    bool isLinkedFolder() const { return localPath && !localPath->isEmpty(); }

    bool operator==(const Album&) const = default;
};

size_t qHash(const Album& album, size_t seed = 0) noexcept;

// Answer of the album list.
struct AlbumsResponse final
{
    QList<Album> albums{};

    static std::optional<AlbumsResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const AlbumsResponse&) const = default;
};

} // namespace lumi
