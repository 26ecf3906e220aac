#include "browser/PhotoDrag.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace lumi {

QString PhotoDrag::mimeType()
{
    return u"com.lumivale.desktop-linux.photos"_s;
}

QByteArray PhotoDrag::encode() const
{
    QJsonArray array;
    for (const Medium& photo : media)
        array.append(photo.toJson());
    return QJsonDocument(QJsonObject{{u"media"_s, array}}).toJson(QJsonDocument::Compact);
}

std::optional<PhotoDrag> PhotoDrag::decode(const QByteArray& payload)
{
    if (payload.size() > maxBytes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue media = document.object().value(u"media"_s);
    if (!media.isArray() || media.toArray().size() > maxPhotos)
        return std::nullopt;
    PhotoDrag drag;
    const QJsonArray array = media.toArray();
    drag.media.reserve(array.size());
    for (const QJsonValue& element : array) {
        std::optional<Medium> photo = Medium::fromJson(element);
        if (!photo)
            return std::nullopt;
        drag.media.append(std::move(*photo));
    }
    return drag;
}

QMimeData* PhotoDrag::toMimeData() const
{
    auto* data = new QMimeData;
    data->setData(mimeType(), encode());
    return data;
}

std::optional<PhotoDrag> PhotoDrag::fromMimeData(const QMimeData& data)
{
    if (!data.hasFormat(mimeType()))
        return std::nullopt;
    return decode(data.data(mimeType()));
}

} // namespace lumi
