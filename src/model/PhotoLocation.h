#pragma once

#include "model/PlaceQuery.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

namespace lumi {

// Where a photo was taken; travels inside the photo's JSON.
struct PhotoLocation final
{
    // One level of the location: a display name and the slug the places requests use.
    struct Named final
    {
        QString name{};
        QString slug{};

        static std::optional<Named> fromJson(const QJsonValue& json, QString* error = nullptr);
        QJsonObject toJson() const;
        bool operator==(const Named&) const = default;
    };

    std::optional<Named> country{};
    std::optional<Named> region{};
    std::optional<Named> place{};

    static std::optional<PhotoLocation> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    // The places selection that shows more photos from here: the place alone, else the country
    // with its region; none without a place or a country.
    std::optional<PlaceQuery> placeQuery() const;
    // The name that stands for the location in a link: the place's, else the region's, else the
    // country's; none when every one is missing or empty.
    std::optional<QString> placeName() const;

    bool operator==(const PhotoLocation&) const = default;
};

size_t qHash(const PhotoLocation::Named& named, size_t seed = 0) noexcept;
size_t qHash(const PhotoLocation& location, size_t seed = 0) noexcept;

} // namespace lumi
