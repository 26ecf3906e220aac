#include "model/PlaceNode.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<PlaceNode> PlaceNode::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    PlaceNode node;
    node.name = reader.string(u"name");
    node.slug = reader.string(u"slug");
    node.featured = reader.boolean(u"featured");
    node.photos = reader.integer(u"photos");
    node.cover = reader.optionalRecord<PlaceCover>(u"cover");
    node.countrySlug = reader.optionalString(u"country_slug");
    node.regionSlug = reader.optionalString(u"region_slug");
    if (!reader.finish(error))
        return std::nullopt;
    return node;
}

QJsonObject PlaceNode::toJson() const
{
    QJsonObject object{
        {u"name"_s, name}, {u"slug"_s, slug}, {u"featured"_s, featured}, {u"photos"_s, photos}};
    JsonWriter::put(object, u"cover"_s, cover);
    JsonWriter::put(object, u"country_slug"_s, countrySlug);
    JsonWriter::put(object, u"region_slug"_s, regionSlug);
    return object;
}

size_t qHash(const PlaceNode& node, size_t seed) noexcept
{
    // The identifying fields are enough for a hash; equality compares the rest.
    return qHashMulti(seed, node.slug, node.name, node.featured, node.photos);
}

} // namespace lumi
