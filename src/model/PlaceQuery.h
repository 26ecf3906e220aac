#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QString>

#include <optional>

namespace lumi {

// A selection in the places tree by slugs: what a places request, browser source or places event
// is built from. An absent slug never equals a present one, not even an empty one.
struct PlaceQuery final
{
    std::optional<QString> country{};
    std::optional<QString> region{};
    std::optional<QString> place{};

    static std::optional<PlaceQuery> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    // Query parameters of the places photo request: a place alone, else country and region.
    QMap<QString, QString> queryItems() const;
    // Properties of the places analytics event: "level" plus every slug that is set.
    QMap<QString, QString> eventProperties() const;

    bool operator==(const PlaceQuery&) const = default;
};

size_t qHash(const PlaceQuery& query, size_t seed = 0) noexcept;

} // namespace lumi
