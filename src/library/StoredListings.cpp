#include "library/StoredListings.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString stateKey = u"state"_s;
const QString listedAtKey = u"listed_at"_s;
const QString playlistsKey = u"playlists"_s;

} // namespace

QString StoredListings::defaultFile()
{
    return Paths::appConfigFolder() + u"/sync-listings.json"_s;
}

std::variant<StoredListings::Stored, QString> StoredListings::read(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        return error.errorString();
    const QJsonObject root = document.object();
    Stored stored;
    stored.state = root.value(stateKey).toString();
    stored.listedAt = QDateTime::fromString(root.value(listedAtKey).toString(), Qt::ISODateWithMs);
    const QJsonValue playlists = root.value(playlistsKey);
    if (!root.value(stateKey).isString() || !stored.listedAt.isValid() || !playlists.isObject())
        return u"not a stored listing"_s;
    const QJsonObject byId = playlists.toObject();
    for (auto it = byId.begin(); it != byId.end(); ++it) {
        bool isNumber = false;
        const qint64 id = it.key().toLongLong(&isNumber);
        if (!isNumber || !it.value().isArray())
            return u"playlist %1 is not a listing"_s.arg(it.key());
        QList<Medium> photos;
        const QJsonArray media = it.value().toArray();
        photos.reserve(media.size());
        for (const QJsonValue& entry : media) {
            QString reason;
            std::optional<Medium> photo = Medium::fromJson(entry, &reason);
            if (!photo)
                return u"playlist %1: %2"_s.arg(it.key(), reason);
            photos.append(std::move(*photo));
        }
        stored.listings.insert(id, std::move(photos));
    }
    return stored;
}

std::optional<QString> StoredListings::write(const QString& file, const Stored& stored)
{
    QJsonObject playlists;
    for (auto it = stored.listings.cbegin(); it != stored.listings.cend(); ++it) {
        QJsonArray media;
        for (const Medium& photo : it.value())
            media.append(photo.toJson());
        playlists.insert(QString::number(it.key()), media);
    }
    const QJsonObject root{{stateKey, stored.state},
                           {listedAtKey, stored.listedAt.toUTC().toString(Qt::ISODateWithMs)},
                           {playlistsKey, playlists}};
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) < 0 || !out.commit())
        return out.errorString();
    return std::nullopt;
}

} // namespace lumi
