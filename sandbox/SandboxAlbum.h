#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace lumi::sandbox {

// One playlist of an account: its photos are catalog uuids in the order they were added.
struct SandboxAlbum final
{
    qint64 id = 0;
    QString title;
    QString localPath;
    QString externalId;
    bool includeInPaper = false;
    bool includeInSaver = false;
    QStringList uuids;

    // The title lower-cased with every character that is not an ASCII letter or digit turned
    // into "-": the album's path segment in album requests.
    static QString fragmentOf(const QString& title);
    QString fragment() const { return fragmentOf(title); }

    // The record the service answers with.
    QJsonObject toJson() const;
    // The stored form, which also keeps the photos.
    QJsonObject toState() const;
    static SandboxAlbum fromState(const QJsonObject& state);
};

} // namespace lumi::sandbox
