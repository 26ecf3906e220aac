#pragma once

#include "model/PhotoLocation.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace lumi {

struct MediaFormat;

// One photo: from the catalog (with a CDN base URL) or made from a file on disk (with a local path).
// Read strictly: a wrongly typed key fails the photo, and with it the whole answer.
struct Medium final
{
    Q_DECLARE_TR_FUNCTIONS(Medium)

public:
    // Every member has an initializer so that Medium{.uuid = ..., .localPath = ...} builds under -Wextra.
    QString uuid{};
    std::optional<QString> title{};
    std::optional<QString> description{};
    std::optional<QString> secureBaseUrl{};
    std::optional<QString> channelTitle{};
    std::optional<QString> sourceUrl{};
    std::optional<QString> localPath{};
    std::optional<QString> localThumb{};
    std::optional<PhotoLocation> location{};

    static std::optional<Medium> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    // The title, or "Untitled" when it is absent or empty.
    QString displayTitle() const;
    // The first 8 characters of the lower-cased uuid: names photo files and keys their indexes.
    QString shortId() const;

    // Local files win over the CDN; CDN addresses are only given for allowed schemes (see CdnUrl).
    std::optional<QUrl> thumbnailURL() const;
    std::optional<QUrl> imageURL() const;
    std::optional<QUrl> largeImageURL() const;
    // The CDN variant "<width>x<height><suffix>.jpg"; never a local file.
    std::optional<QUrl> sizedImageURL(int width, int height, const QString& suffix) const;
    std::optional<QUrl> sizedImageURL(const MediaFormat& format, const QString& suffix) const;
    // The photo's source page, only when it is an https address with a host.
    std::optional<QUrl> sourceLink() const;

    bool operator==(const Medium&) const = default;
};

size_t qHash(const Medium& medium, size_t seed = 0) noexcept;

// Answer of every photo listing.
struct MediaResponse final
{
    std::optional<QList<Medium>> media{};

    static std::optional<MediaResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const MediaResponse&) const = default;
};

// Answer of one photo by its short id.
struct PhotoResponse final
{
    std::optional<Medium> medium{};

    static std::optional<PhotoResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const PhotoResponse&) const = default;
};

// Answer of the favorite photo ids.
struct FavoritesResponse final
{
    std::optional<QStringList> uuids{};

    static std::optional<FavoritesResponse> fromJson(const QJsonValue& json, QString* error = nullptr);
    bool operator==(const FavoritesResponse&) const = default;
};

} // namespace lumi
