#pragma once

#include <QString>
#include <QStringList>

namespace lumi {

/// Where copies of the older app are looked for, and whether this app is installed where it may
/// take over from them. Everything is relative to the home folder given, so tests use their own.
class OlderAppCopies final
{
public:
    OlderAppCopies() = delete;

    /// The older app's copies below ~/Applications, ~/Downloads and ~/Desktop, at any depth: a
    /// "Lumivale*.AppImage" file, or a folder holding "resources/app.asar" and its executable.
    /// A copy that holds ownExecutable is left out.
    static QStringList find(const QString& home, const QString& ownExecutable);
    /// True when the executable (or AppImage) lies directly in ~/Applications, ~/.local/bin,
    /// /usr/bin, /usr/local/bin or a folder of /opt: an installed app, not a build tree.
    static bool isInstalled(const QString& executable, const QString& home);
};

} // namespace lumi
