#include "SandboxAlbum.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

QString SandboxAlbum::fragmentOf(const QString& title)
{
    QString fragment;
    for (const char32_t codePoint : title.toLower().toUcs4()) {
        const bool ascii =
            (codePoint >= U'a' && codePoint <= U'z') || (codePoint >= U'0' && codePoint <= U'9');
        fragment += ascii ? QChar(char16_t(codePoint)) : u'-';
    }
    return fragment;
}

QJsonObject SandboxAlbum::toJson() const
{
    QJsonObject album{{u"id"_s, id},
                      {u"title"_s, title},
                      {u"title_fragment"_s, fragment()},
                      {u"count"_s, qint64(uuids.size())},
                      {u"include_in_paper"_s, includeInPaper},
                      {u"include_in_saver"_s, includeInSaver}};
    if (!localPath.isEmpty())
        album.insert(u"local_path"_s, localPath);
    if (!externalId.isEmpty())
        album.insert(u"external_id"_s, externalId);
    return album;
}

QJsonObject SandboxAlbum::toState() const
{
    QJsonObject state = toJson();
    state.insert(u"uuids"_s, QJsonArray::fromStringList(uuids));
    return state;
}

SandboxAlbum SandboxAlbum::fromState(const QJsonObject& state)
{
    SandboxAlbum album;
    album.id = state.value(u"id"_s).toInteger();
    album.title = state.value(u"title"_s).toString();
    album.localPath = state.value(u"local_path"_s).toString();
    album.externalId = state.value(u"external_id"_s).toString();
    album.includeInPaper = state.value(u"include_in_paper"_s).toBool();
    album.includeInSaver = state.value(u"include_in_saver"_s).toBool();
    for (const QJsonValue& uuid : state.value(u"uuids"_s).toArray())
        album.uuids.append(uuid.toString());
    return album;
}

} // namespace lumi::sandbox
