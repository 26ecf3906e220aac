#include "model/PlaceCover.h"

#include "model/CdnUrl.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<PlaceCover> PlaceCover::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    PlaceCover cover{reader.string(u"uuid"), reader.optionalString(u"title"),
                     reader.optionalString(u"secure_base_url")};
    if (!reader.finish(error))
        return std::nullopt;
    return cover;
}

QJsonObject PlaceCover::toJson() const
{
    QJsonObject object{{u"uuid"_s, uuid}};
    JsonWriter::put(object, u"title"_s, title);
    JsonWriter::put(object, u"secure_base_url"_s, secureBaseUrl);
    return object;
}

std::optional<QUrl> PlaceCover::thumbnailURL() const
{
    return CdnUrl::resolve(secureBaseUrl, u"640x360.jpg"_s);
}

size_t qHash(const PlaceCover& cover, size_t seed) noexcept
{
    return qHashMulti(seed, cover.uuid, cover.title.value_or(QString()),
                      cover.secureBaseUrl.value_or(QString()));
}

} // namespace lumi
