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
    std::optional<QString> token;
    /// The "user" object as this app stores it: the record's own JSON. None when it is not an
    /// object or does not read as a user.
    std::optional<QByteArray> user;
    /// Only an absolute folder that passes the photo directory's write test.
    std::optional<QString> dataDir;
    QMap<QString, QStringList> linkedDownloads;
    /// A supported code other than the system's first language.
    std::optional<QString> language;
    std::optional<QString> installId;

    static const QStringList supportedLanguages;

    /// None when the file can't be read or holds no JSON object. preferredLanguages are the
    /// system's, first first.
    static std::optional<ElectronSettings> read(const QString& path, const QStringList& preferredLanguages);
};

} // namespace lumi
