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

    /// The older app's copies below ~/Applications, ~/Downloads and ~/Desktop, at any depth, by
    /// their real paths: a "Lumivale*.AppImage" file in the AppImage format, or an unpacked
    /// Electron app (its "lumivale" program, "resources/app.asar" and Chromium's runtime files).
    /// One of the three folders that is a link out of the home is not looked into. A copy that
    /// holds ownExecutable is left out.
    static QStringList find(const QString& home, const QString& ownExecutable);
    /// True when the executable (or AppImage) lies directly in ~/Applications, ~/.local/bin,
    /// /usr/bin, /usr/local/bin or a folder of /opt: an installed app, not a build tree.
    static bool isInstalled(const QString& executable, const QString& home);
};

} // namespace lumi
