#include "library/SyncedTitles.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace lumi {

QString SyncedTitles::defaultFile()
{
    return Paths::appConfigFolder() + u"/sync-titles.json"_s;
}

QHash<QString, QString> SyncedTitles::read(const QString& file)
{
    QHash<QString, QString> titles;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return titles;
    const QJsonObject stored = QJsonDocument::fromJson(in.readAll()).object();
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        if (it.value().isString())
            titles.insert(it.key(), it.value().toString());
    }
    return titles;
}

std::optional<QString> SyncedTitles::write(const QString& file, const QHash<QString, QString>& titles)
{
    QJsonObject stored;
    for (auto it = titles.cbegin(); it != titles.cend(); ++it)
        stored.insert(it.key(), it.value());
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(QJsonDocument(stored).toJson(QJsonDocument::Compact)) < 0 || !out.commit())
        return out.errorString();
    return std::nullopt;
}

} // namespace lumi
