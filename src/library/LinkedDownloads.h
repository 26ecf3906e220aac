#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace lumi {

struct Album;
class Defaults;

/// The record of the photos the sync downloaded into linked folders: playlist id (decimal) to the
/// sorted file names. Only the names in it may ever be deleted from a linked folder, since the
/// user's own files there can carry names that look like the sync's.
class LinkedDownloads final
{
public:
    using Record = QMap<QString, QStringList>;

    LinkedDownloads() = delete;

    /// The stored map; empty when it is absent, not a map, or any entry is not a list of texts.
    static Record read(const Defaults& defaults, const QString& key);
    static QVariantMap toVariant(const Record& record);
    /// The stored record, plus, for each linked album without an entry, the older app's entry of
    /// its folder path: written with or without a trailing "/".
    static Record merged(Record stored, const Record& older, const QList<Album>& albums);
};

} // namespace lumi
