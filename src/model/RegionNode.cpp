#include "model/RegionNode.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<RegionNode> RegionNode::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    RegionNode node;
    node.name = reader.string(u"name");
    node.slug = reader.string(u"slug");
    node.photos = reader.integer(u"photos");
    node.cover = reader.optionalRecord<PlaceCover>(u"cover");
    node.places = reader.list<PlaceNode>(u"places");
    node.stateCode = reader.optionalString(u"state_code");
    if (!reader.finish(error))
        return std::nullopt;
    return node;
}

QJsonObject RegionNode::toJson() const
{
    QJsonObject object{{u"name"_s, name},
                       {u"slug"_s, slug},
                       {u"photos"_s, photos},
                       {u"places"_s, JsonWriter::array(places)}};
    JsonWriter::put(object, u"cover"_s, cover);
    JsonWriter::put(object, u"state_code"_s, stateCode);
    return object;
}

size_t qHash(const RegionNode& node, size_t seed) noexcept
{
    return qHashMulti(seed, node.slug, node.name, node.photos, node.places.size());
}

} // namespace lumi
