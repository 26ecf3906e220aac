#include "model/PlaceQuery.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<PlaceQuery> PlaceQuery::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    PlaceQuery query{reader.optionalString(u"country"), reader.optionalString(u"region"),
                     reader.optionalString(u"place")};
    if (!reader.finish(error))
        return std::nullopt;
    return query;
}

QJsonObject PlaceQuery::toJson() const
{
    QJsonObject object;
    JsonWriter::put(object, u"country"_s, country);
    JsonWriter::put(object, u"region"_s, region);
    JsonWriter::put(object, u"place"_s, place);
    return object;
}

QMap<QString, QString> PlaceQuery::queryItems() const
{
    QMap<QString, QString> items;
    if (place) {
        items.insert(u"place"_s, *place);
        return items;
    }
    if (country)
        items.insert(u"country"_s, *country);
    if (region)
        items.insert(u"region"_s, *region);
    return items;
}

QMap<QString, QString> PlaceQuery::eventProperties() const
{
    QMap<QString, QString> properties;
    properties.insert(u"level"_s, place ? u"place"_s : region ? u"region"_s : u"country"_s);
    if (country)
        properties.insert(u"country"_s, *country);
    if (region)
        properties.insert(u"region"_s, *region);
    if (place)
        properties.insert(u"place"_s, *place);
    return properties;
}

size_t qHash(const PlaceQuery& query, size_t seed) noexcept
{
    return qHashMulti(seed, query.country.has_value(), query.country.value_or(QString()),
                      query.region.has_value(), query.region.value_or(QString()), query.place.has_value(),
                      query.place.value_or(QString()));
}

} // namespace lumi
