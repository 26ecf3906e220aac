#include "services/ElectronSettings.h"

#include "library/DataDirectory.h"
#include "model/User.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

std::optional<QString> nonEmptyString(const QJsonValue& value)
{
    if (!value.isString() || value.toString().isEmpty())
        return std::nullopt;
    return value.toString();
}

std::optional<QByteArray> userBytes(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const std::optional<User> user = User::fromJson(value);
    if (!user)
        return std::nullopt;
    return QJsonDocument(user->toJson()).toJson(QJsonDocument::Compact);
}

QMap<QString, QStringList> readLinks(const QJsonValue& value)
{
    QMap<QString, QStringList> links;
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isArray())
            return {};
        QStringList folders;
        for (const QJsonValue& folder : it.value().toArray()) {
            if (!folder.isString())
                return {};
            folders.append(folder.toString());
        }
        links.insert(it.key(), folders);
    }
    return links;
}

std::optional<QString> readLanguage(const QJsonValue& value, const QStringList& preferred)
{
    const QString code = value.toString();
    if (!ElectronSettings::supportedLanguages.contains(code))
        return std::nullopt;
    if (!preferred.isEmpty() && preferred.first().left(2) == code)
        return std::nullopt;
    return code;
}

} // namespace

const QStringList ElectronSettings::supportedLanguages{u"en"_s, u"de"_s, u"es"_s, u"fr"_s,
                                                       u"it"_s, u"nl"_s, u"pt"_s};

std::optional<ElectronSettings> ElectronSettings::read(const QString& path, const QStringList& preferredLanguages)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject json = document.object();

    ElectronSettings settings;
    settings.token = nonEmptyString(json.value(u"token"_s));
    settings.user = userBytes(json.value(u"user"_s));
    // A relative path would be taken from wherever the app was started; the write test would even
    // create it there.
    if (const std::optional<QString> dir = nonEmptyString(json.value(u"data-dir"_s));
        dir && QDir::isAbsolutePath(*dir) && DataDirectory::isWritable(*dir))
        settings.dataDir = QDir::cleanPath(*dir);
    settings.linkedDownloads = readLinks(json.value(u"linked-downloads"_s));
    settings.language = readLanguage(json.value(u"lang"_s), preferredLanguages);
    settings.installId = nonEmptyString(json.value(u"install-fingerprint"_s));
    return settings;
}

} // namespace lumi
