#pragma once

#include <QString>

#include <optional>

namespace lumi {

/// The bearer token of the signed-in session, kept across launches in the data folder's
/// "session-token" file. The file holds the token's UTF-8 bytes and nothing else, and is readable
/// by its owner only from the moment it exists. Failures are logged, never thrown: after a failed
/// save the next launch simply finds no token (or the older one).
class SessionTokenFile final
{
public:
    SessionTokenFile() = delete;

    static QString filePath();

    /// Replaces the file atomically; creates the data folder first. False, after logging why,
    /// when the file was not written.
    [[nodiscard]] static bool save(const QString& token);
    /// No file is not a failure.
    static void remove();
    /// The token trimmed of white space; nothing when the file is missing, unreadable, not UTF-8
    /// or blank.
    static std::optional<QString> load();
};

} // namespace lumi
