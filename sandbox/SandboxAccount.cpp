#include "SandboxAccount.h"

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

QString SandboxAccount::uuid() const
{
    return user.value(u"uuid"_s).toString();
}

QString SandboxAccount::email() const
{
    return user.value(u"email"_s).toString();
}

SandboxAlbum* SandboxAccount::albumByFragment(const QString& fragment)
{
    for (SandboxAlbum& album : albums) {
        if (album.fragment() == fragment)
            return &album;
    }
    return nullptr;
}

SandboxAlbum* SandboxAccount::albumByTitle(const QString& title)
{
    for (SandboxAlbum& album : albums) {
        if (album.title == title)
            return &album;
    }
    return nullptr;
}

QJsonObject SandboxAccount::toState() const
{
    QJsonArray albumStates;
    for (const SandboxAlbum& album : albums)
        albumStates.append(album.toState());
    return {{u"password"_s, password}, {u"user"_s, user},     {u"albums"_s, albumStates},
            {u"alerts"_s, alerts},     {u"device"_s, device}, {u"reset_code"_s, resetCode}};
}

SandboxAccount SandboxAccount::fromState(const QJsonObject& state)
{
    SandboxAccount account;
    account.password = state.value(u"password"_s).toString();
    account.user = state.value(u"user"_s).toObject();
    for (const QJsonValue& album : state.value(u"albums"_s).toArray())
        account.albums.append(SandboxAlbum::fromState(album.toObject()));
    account.alerts = state.value(u"alerts"_s).toArray();
    account.device = state.value(u"device"_s).toObject();
    account.resetCode = state.value(u"reset_code"_s).toString();
    return account;
}

} // namespace lumi::sandbox
