#include "library/LinkedDownloads.h"

#include "model/Album.h"
#include "model/Defaults.h"

using namespace Qt::StringLiterals;

namespace lumi {

LinkedDownloads::Record LinkedDownloads::read(const Defaults& defaults, const QString& key)
{
    const std::optional<QVariantMap> map = defaults.mapValue(key);
    if (!map)
        return {};
    Record record;
    for (auto it = map->cbegin(); it != map->cend(); ++it) {
        if (it.value().typeId() != QMetaType::QVariantList)
            return {};
        QStringList names;
        for (const QVariant& name : it.value().toList()) {
            if (name.typeId() != QMetaType::QString)
                return {};
            names.append(name.toString());
        }
        record.insert(it.key(), names);
    }
    return record;
}

QVariantMap LinkedDownloads::toVariant(const Record& record)
{
    QVariantMap map;
    for (auto it = record.cbegin(); it != record.cend(); ++it)
        map.insert(it.key(), QVariant(it.value()));
    return map;
}

LinkedDownloads::Record LinkedDownloads::merged(Record stored, const Record& older,
                                                const QList<Album>& albums)
{
    for (const Album& album : albums) {
        const QString id = QString::number(album.id);
        if (stored.contains(id) || !album.localPath || album.localPath->isEmpty())
            continue;
        const QString& path = *album.localPath;
        // The older app keyed folders by their path as it got it, with or without the slash.
        const QString other = path.endsWith(u'/') ? path.chopped(1) : path + u'/';
        if (const auto found = older.constFind(path); found != older.cend())
            stored.insert(id, *found);
        else if (const auto alternative = older.constFind(other); alternative != older.cend())
            stored.insert(id, *alternative);
    }
    return stored;
}

} // namespace lumi
