#include "model/CountryNode.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<CountryNode> CountryNode::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    CountryNode node;
    node.code = reader.string(u"code");
    node.name = reader.string(u"name");
    node.slug = reader.string(u"slug");
    node.photos = reader.integer(u"photos");
    node.cover = reader.optionalRecord<PlaceCover>(u"cover");
    node.regions = reader.list<RegionNode>(u"regions");
    if (!reader.finish(error))
        return std::nullopt;
    return node;
}

QJsonObject CountryNode::toJson() const
{
    QJsonObject object{{u"code"_s, code},
                       {u"name"_s, name},
                       {u"slug"_s, slug},
                       {u"photos"_s, photos},
                       {u"regions"_s, JsonWriter::array(regions)}};
    JsonWriter::put(object, u"cover"_s, cover);
    return object;
}

size_t qHash(const CountryNode& node, size_t seed) noexcept
{
    return qHashMulti(seed, node.slug, node.code, node.name, node.photos, node.regions.size());
}

} // namespace lumi
