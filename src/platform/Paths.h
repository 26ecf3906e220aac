#pragma once

#include <QString>

namespace lumi {

/// Where the application keeps its files. Everything derives from HOME and the XDG variables at the
/// moment of the call, so a test that points them at a temporary folder is fully isolated.
class Paths final
{
public:
    Paths() = delete;

    static QString dataHome();   ///< $XDG_DATA_HOME, else ~/.local/share
    static QString configHome(); ///< $XDG_CONFIG_HOME, else ~/.config
    static QString cacheHome();  ///< $XDG_CACHE_HOME, else ~/.cache
    static QString runtimeDir(); ///< $XDG_RUNTIME_DIR, else a private folder in the temp dir

    /// The application data folder ("Lumivale"): session token, Logs, Wallpapers, crash spool.
    /// Never created here: each writer creates what it needs.
    static QString appDataFolder();
    /// Device-local settings and state of this app.
    static QString appConfigFolder();
    static QString defaultsFile();
    static QString httpCacheFolder();
    /// The older Electron app's userData folder: its "Settings" (kept as "Settings.electron" once
    /// carried over) and its cache folders. Our own session token is in appDataFolder().
    static QString electronFolder();
    static QString documentsFolder();
    static QString autostartFile();
};

} // namespace lumi
