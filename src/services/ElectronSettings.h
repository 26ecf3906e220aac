#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

/// What the older app's "Settings" file carries over. A key that is missing or of the wrong type
/// leaves its field empty.
struct ElectronSettings
{
    /// Only a token a request header can carry as it is (visible ASCII).
    std::optional<QString> token;
    /// The "user" object as this app stores it: the record's own JSON. None when it is not an
    /// object or does not read as a user.
    std::optional<QByteArray> user;
    /// Only an absolute folder that passes the photo directory's write test, which makes no folder
    /// outside the home.
    std::optional<QString> dataDir;
    QMap<QString, QStringList> linkedDownloads;
    /// A supported code other than the system's first language.
    std::optional<QString> language;
    std::optional<QString> installId;

    static const QStringList supportedLanguages;

    /// None when the file can't be read or holds no JSON object; only a regular file, not reached
    /// through a link, and of a settings file's size is read. preferredLanguages are the
    /// system's, first first.
    static std::optional<ElectronSettings> read(const QString& path, const QStringList& preferredLanguages);
};

} // namespace lumi
