#pragma once

#include "library/PlaylistSync.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Album.h"
#include "model/Medium.h"
#include "services/CrashReporter.h"
#include "support/FakeScreens.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"
#include "support/TemporaryHome.h"

#include <QJsonArray>
#include <QSize>
#include <QStringList>

#include <memory>

namespace lumi::test {

/// A playlist sync over a fresh temporary home, signed in to a shared sandbox (reset here) as the
/// demo account, with a manual clock and one display of 1280x1024 (the smallest photo format).
/// The photo directory is "<home>/Photos". Its helpers block; they are for test code only.
class SyncHarness final
{
public:
    explicit SyncHarness(SandboxFixture& sandbox);
    ~SyncHarness();
    SyncHarness(const SyncHarness&) = delete;
    SyncHarness& operator=(const SyncHarness&) = delete;

    /// Made on first use, so a test can prepare the settings and folders first.
    PlaylistSync& sync();
    /// Ends the sync as the app's end does; the next sync() is the one of the next launch, over the
    /// same home, settings and sandbox.
    void relaunch();
    /// Lets the clock run (one second at a time, whenever something sleeps) until no request
    /// waits and no pass runs; false on a hang.
    bool finish();
    /// Requests a pass at once and finishes it.
    bool runPass(bool force = false);

    /// The photos the sandbox lists for the playlist, as the sync names their files, sorted
    /// unless asked for the listing's order.
    QStringList listedNames(const QString& fragment, bool sorted = true);
    static QSize display(int width, int height) { return {width, height}; }
    void setDisplay(QSize pixels);

    /// Lines of the "sync" category since the last forgetLog, without their time stamps.
    QStringList syncLines() const;
    void forgetLog();
    /// Requests the sandbox recorded since the last clear, as "METHOD /path?query".
    QStringList requestLines();
    QStringList cdnRequests();
    QStringList listingRequests();

    /// Names of the .jpg/.jpeg files in the folder, sorted.
    static QStringList photoNames(const QString& folder);
    /// Names of everything in the folder, hidden entries included, sorted.
    static QStringList entries(const QString& folder);
    static QStringList sorted(QStringList names)
    {
        names.sort();
        return names;
    }
    /// Writes a real JPEG of the size.
    static bool writeJpeg(const QString& path, QSize size);

    SandboxFixture& sandbox;
    TemporaryHome home;
    ManualClock clock;
    FakeScreens screens;
    CrashReporter reporter;
    APIClient api{reporter};
    /// Signed in as the demo account with its playlists loaded.
    Account account;
    /// How often the sync said the photo pools are stale.
    int poolResets = 0;
    QString photoDirectory;

private:
    std::unique_ptr<PlaylistSync> m_sync;
};

} // namespace lumi::test
