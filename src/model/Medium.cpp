#include "model/Medium.h"

#include "model/CdnUrl.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"
#include "model/MediaFormat.h"

#include <QHashFunctions>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<Medium> Medium::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    Medium medium;
    medium.uuid = reader.string(u"uuid");
    medium.title = reader.optionalString(u"title");
    medium.description = reader.optionalString(u"description");
    medium.secureBaseUrl = reader.optionalString(u"secure_base_url");
    medium.channelTitle = reader.optionalString(u"channel_title");
    medium.sourceUrl = reader.optionalString(u"source_url");
    medium.localPath = reader.optionalString(u"local_path");
    medium.localThumb = reader.optionalString(u"local_thumb");
    medium.location = reader.optionalRecord<PhotoLocation>(u"location");
    if (!reader.finish(error))
        return std::nullopt;
    return medium;
}

QJsonObject Medium::toJson() const
{
    QJsonObject object{{u"uuid"_s, uuid}};
    JsonWriter::put(object, u"title"_s, title);
    JsonWriter::put(object, u"description"_s, description);
    JsonWriter::put(object, u"secure_base_url"_s, secureBaseUrl);
    JsonWriter::put(object, u"channel_title"_s, channelTitle);
    JsonWriter::put(object, u"source_url"_s, sourceUrl);
    JsonWriter::put(object, u"local_path"_s, localPath);
    JsonWriter::put(object, u"local_thumb"_s, localThumb);
    JsonWriter::put(object, u"location"_s, location);
    return object;
}

QString Medium::displayTitle() const
{
    if (title && !title->isEmpty())
        return *title;
    return tr("Untitled");
}

QString Medium::shortId() const
{
    return uuid.toLower().left(8);
}

std::optional<QUrl> Medium::thumbnailURL() const
{
    if (localThumb)
        return QUrl::fromLocalFile(*localThumb);
    if (localPath)
        return QUrl::fromLocalFile(*localPath);
    return CdnUrl::resolve(secureBaseUrl, u"640x360.jpg"_s);
}

std::optional<QUrl> Medium::imageURL() const
{
    if (localPath)
        return QUrl::fromLocalFile(*localPath);
    return CdnUrl::resolve(secureBaseUrl, u"1920x1080.jpg"_s);
}

std::optional<QUrl> Medium::largeImageURL() const
{
    if (localPath)
        return QUrl::fromLocalFile(*localPath);
    return CdnUrl::resolve(secureBaseUrl, u"2560x1440.jpg"_s);
}

std::optional<QUrl> Medium::sizedImageURL(int width, int height, const QString& suffix) const
{
    return CdnUrl::resolve(secureBaseUrl, u"%1x%2%3.jpg"_s.arg(width).arg(height).arg(suffix));
}

std::optional<QUrl> Medium::sizedImageURL(const MediaFormat& format, const QString& suffix) const
{
    return sizedImageURL(format.width, format.height, suffix);
}

std::optional<QUrl> Medium::sourceLink() const
{
    if (!sourceUrl)
        return std::nullopt;
    const QUrl url(*sourceUrl, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"https"_s || url.host().isEmpty())
        return std::nullopt;
    return url;
}

size_t qHash(const Medium& medium, size_t seed) noexcept
{
    // Absent and empty texts hash alike; equality still tells them apart.
    return qHashMulti(seed, medium.uuid, medium.title.value_or(QString()),
                      medium.description.value_or(QString()), medium.secureBaseUrl.value_or(QString()),
                      medium.channelTitle.value_or(QString()), medium.sourceUrl.value_or(QString()),
                      medium.localPath.value_or(QString()), medium.localThumb.value_or(QString()),
                      medium.location ? qHash(*medium.location) : size_t(0));
}

std::optional<MediaResponse> MediaResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    MediaResponse response{reader.optionalList<Medium>(u"media")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

std::optional<PhotoResponse> PhotoResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    PhotoResponse response{reader.optionalRecord<Medium>(u"medium")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

std::optional<FavoritesResponse> FavoritesResponse::fromJson(const QJsonValue& json, QString* error)
{
    JsonReader reader(json);
    FavoritesResponse response{reader.optionalStringList(u"uuids")};
    if (!reader.finish(error))
        return std::nullopt;
    return response;
}

} // namespace lumi
