#include "model/PhotoLocation.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<PhotoLocation::Named> PhotoLocation::Named::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    Named named{reader.string(u"name"), reader.string(u"slug")};
    if (!reader.finish(error))
        return std::nullopt;
    return named;
}

QJsonObject PhotoLocation::Named::toJson() const
{
    return QJsonObject{{u"name"_s, name}, {u"slug"_s, slug}};
}

std::optional<PhotoLocation> PhotoLocation::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    PhotoLocation location{reader.optionalRecord<Named>(u"country"), reader.optionalRecord<Named>(u"region"),
                           reader.optionalRecord<Named>(u"place")};
    if (!reader.finish(error))
        return std::nullopt;
    return location;
}

QJsonObject PhotoLocation::toJson() const
{
    QJsonObject object;
    JsonWriter::put(object, u"country"_s, country);
    JsonWriter::put(object, u"region"_s, region);
    JsonWriter::put(object, u"place"_s, place);
    return object;
}

std::optional<PlaceQuery> PhotoLocation::placeQuery() const
{
    if (place)
        return PlaceQuery{std::nullopt, std::nullopt, place->slug};
    if (!country)
        return std::nullopt;
    return PlaceQuery{country->slug, region ? std::optional(region->slug) : std::nullopt, std::nullopt};
}

std::optional<QString> PhotoLocation::placeName() const
{
    for (const std::optional<Named>& level : {place, region, country}) {
        if (level && !level->name.isEmpty())
            return level->name;
    }
    return std::nullopt;
}

size_t qHash(const PhotoLocation::Named& named, size_t seed) noexcept
{
    return qHashMulti(seed, named.name, named.slug);
}

size_t qHash(const PhotoLocation& location, size_t seed) noexcept
{
    const auto part = [](const std::optional<PhotoLocation::Named>& named) {
        return named ? qHash(*named) : size_t(0);
    };
    return qHashMulti(seed, part(location.country), part(location.region), part(location.place));
}

} // namespace lumi
