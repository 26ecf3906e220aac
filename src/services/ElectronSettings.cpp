#include "services/ElectronSettings.h"

#include "library/DataDirectory.h"
#include "model/AppLog.h"
#include "model/RegularFile.h"
#include "model/User.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The older app's settings are a few kilobytes; a file far beyond that is not theirs to read.
constexpr qint64 mostBytes = 1024 * 1024;

std::optional<QString> nonEmptyString(const QJsonValue& value)
{
    if (!value.isString() || value.toString().isEmpty())
        return std::nullopt;
    return value.toString();
}

// The token goes into the Authorization header as it is: visible ASCII only, so that no line
// break in it can start a header of its own.
std::optional<QString> tokenOf(const QJsonValue& value)
{
    const std::optional<QString> token = nonEmptyString(value);
    if (!token || !std::all_of(token->cbegin(), token->cend(),
                               [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; }))
        return std::nullopt;
    return token;
}

// The write test makes the folder with every missing parent; it may do so only inside the home.
// Elsewhere (another disk, say) the folder must exist already.
bool makesFoldersOnlyInTheHome(const QString& folder)
{
    QString existing = folder;
    while (!QFileInfo::exists(existing))
        existing = QFileInfo(existing).absolutePath();
    if (existing == folder)
        return true;
    const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
    const QString real = QFileInfo(existing).canonicalFilePath();
    return !home.isEmpty() && (real == home || real.startsWith(home + u'/'));
}

std::optional<QString> photoDirectoryOf(const QJsonValue& value)
{
    const std::optional<QString> dir = nonEmptyString(value);
    // A relative path would be taken from wherever the app was started.
    if (!dir || !QDir::isAbsolutePath(*dir))
        return std::nullopt;
    const QString clean = QDir::cleanPath(*dir);
    if (!makesFoldersOnlyInTheHome(clean) || !DataDirectory::isWritable(clean))
        return std::nullopt;
    return clean;
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

std::optional<ElectronSettings> ElectronSettings::read(const QString& path,
                                                       const QStringList& preferredLanguages)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return std::nullopt;
    QString error;
    const std::unique_ptr<QFile> file = RegularFile::open(path, &error);
    if (file && file->size() > mostBytes)
        error = u"larger than %1 bytes"_s.arg(mostBytes);
    if (!file || !error.isEmpty()) {
        AppLog(u"takeover"_s).error(u"Electron's Settings not read: "_s + error);
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(file->readAll());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject json = document.object();

    ElectronSettings settings;
    settings.token = tokenOf(json.value(u"token"_s));
    settings.user = userBytes(json.value(u"user"_s));
    settings.dataDir = photoDirectoryOf(json.value(u"data-dir"_s));
    settings.linkedDownloads = readLinks(json.value(u"linked-downloads"_s));
    settings.language = readLanguage(json.value(u"lang"_s), preferredLanguages);
    settings.installId = nonEmptyString(json.value(u"install-fingerprint"_s));
    return settings;
}

} // namespace lumi
