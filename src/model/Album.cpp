#include "model/Album.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<Album> Album::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    Album album;
    album.id = reader.integer(u"id");
    if (!reader.finish(error))
        return std::nullopt;
    const QJsonObject& object = reader.object();
    album.title = JsonReader::tolerantString(object, u"title").value_or(QString());
    album.titleFragment = JsonReader::tolerantString(object, u"title_fragment").value_or(QString());
    album.includeInPaper = JsonReader::lenientFlag(object, u"include_in_paper");
    album.includeInSaver = JsonReader::lenientFlag(object, u"include_in_saver");
    album.count = JsonReader::tolerantInteger(object, u"count");
    album.externalId = JsonReader::tolerantString(object, u"external_id");
    album.localPath = JsonReader::tolerantString(object, u"local_path");
    return album;
}

QJsonObject Album::toJson() const
{
    QJsonObject object{{u"id"_s, id}, {u"title"_s, title}, {u"title_fragment"_s, titleFragment}};
    JsonWriter::put(object, u"include_in_paper"_s, includeInPaper);
    JsonWriter::put(object, u"include_in_saver"_s, includeInSaver);
    JsonWriter::put(object, u"count"_s, count);
    JsonWriter::put(object, u"external_id"_s, externalId);
    JsonWriter::put(object, u"local_path"_s, localPath);
    return object;
}

size_t qHash(const Album& album, size_t seed) noexcept
{
    return qHashMulti(seed, album.id, album.title, album.titleFragment, album.includeInPaper.value_or(false),
                      album.includeInSaver.value_or(false), album.count.value_or(0),
                      album.externalId.value_or(QString()), album.localPath.value_or(QString()));
}

std::optional<AlbumsResponse> AlbumsResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    AlbumsResponse response{reader.list<Album>(u"albums")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

} // namespace lumi
