#pragma once

#include "SandboxAlbum.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace lumi::sandbox {

// Everything the service keeps for one user: the User record with its synced settings, the
// password, the playlists, the queue of server alerts (the first is current) and the last
// device record the app sent.
struct SandboxAccount final
{
    QString password;
    QJsonObject user;
    QList<SandboxAlbum> albums;
    QJsonArray alerts;
    QJsonObject device;
    QString resetCode;

    QString uuid() const;
    QString email() const;

    SandboxAlbum* albumByFragment(const QString& fragment);
    SandboxAlbum* albumByTitle(const QString& title);

    QJsonObject toState() const;
    static SandboxAccount fromState(const QJsonObject& state);
};

} // namespace lumi::sandbox
