#include "model/PlacesTree.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<PlacesTree> PlacesTree::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    PlacesTree tree{reader.list<PlaceNode>(u"featured"), reader.list<CountryNode>(u"countries")};
    if (!reader.finish(error))
        return std::nullopt;
    return tree;
}

QJsonObject PlacesTree::toJson() const
{
    return QJsonObject{{u"featured"_s, JsonWriter::array(featured)},
                       {u"countries"_s, JsonWriter::array(countries)}};
}

std::optional<CountryNode> PlacesTree::country(QStringView slug) const
{
    for (const CountryNode& country : countries) {
        if (country.slug == slug)
            return country;
    }
    return std::nullopt;
}

std::optional<RegionNode> PlacesTree::region(QStringView countrySlug, QStringView slug) const
{
    const auto found = country(countrySlug);
    if (!found)
        return std::nullopt;
    for (const RegionNode& region : found->regions) {
        if (region.slug == slug)
            return region;
    }
    return std::nullopt;
}

std::optional<PlacesTree::PlaceMatch> PlacesTree::place(QStringView slug) const
{
    for (const CountryNode& country : countries) {
        for (const RegionNode& region : country.regions) {
            for (const PlaceNode& place : region.places) {
                if (place.slug == slug)
                    return PlaceMatch{country, region, place};
            }
        }
    }
    return std::nullopt;
}

} // namespace lumi
