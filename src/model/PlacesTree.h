#pragma once

#include "model/CountryNode.h"
#include "model/PlaceNode.h"
#include "model/RegionNode.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

// The service's photos grouped by where they were taken (country, region, place), plus the
// featured places. Decoded whole or not at all. It has no equality: its holder announces every
// new tree instead of comparing.
struct PlacesTree final
{
    // A place together with the country and region that hold it.
    struct PlaceMatch final
    {
        CountryNode country{};
        RegionNode region{};
        PlaceNode place{};
    };

    QList<PlaceNode> featured{};
    QList<CountryNode> countries{};

    static std::optional<PlacesTree> fromJson(const QJsonValue& json, QString* error = nullptr);
    QJsonObject toJson() const;

    // The first country with this slug.
    std::optional<CountryNode> country(QStringView slug) const;
    // The first region with this slug inside the first country with `countrySlug`.
    std::optional<RegionNode> region(QStringView countrySlug, QStringView slug) const;
    // The first place with this slug in tree order; the featured list is not searched.
    std::optional<PlaceMatch> place(QStringView slug) const;
};

} // namespace lumi
