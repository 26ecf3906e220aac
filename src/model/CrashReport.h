#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

/// One non-fatal problem or crash, as handed to a problem sink.
struct CrashReport
{
    QString process;
    QString message;
    QString stack;
    QString fingerprint;
    QString version;
    QDateTime occurredAt;
    std::optional<QString> breadcrumbs;

    /// A non-fatal problem of one part of the app (`process`: "api", "sync", "wallpaper"): the
    /// fingerprint is that of the part and the message, the version the app's.
    static CrashReport problem(const QString& process, const QString& message, const QString& stack,
                               const QDateTime& occurredAt);
    /// The first 8 bytes of the SHA-256 of the texts joined with "|", as 16 lower-case hex digits:
    /// one fingerprint per kind of problem.
    static QString fingerprintOf(const QStringList& parts);
};

} // namespace lumi
