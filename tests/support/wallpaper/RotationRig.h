#pragma once

#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Defaults.h"
#include "services/CrashReporter.h"
#include "support/FakeScreens.h"
#include "support/FakeWakeWatcher.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingEvents.h"
#include "support/wallpaper/FakeRotationLibrary.h"
#include "support/wallpaper/RecordingApplier.h"
#include "wallpaper/RotationEngine.h"

#include <QStringList>

#include <chrono>
#include <memory>

namespace lumi::test {

/// A rotation engine signed in to the demo account of a private sandbox, with a manual clock that
/// starts on a local Thursday morning, one 1920x1080 display, a settings store in a temporary home,
/// and a recording stand-in for the wallpaper service. Its helpers block; they are for tests only.
class RotationRig final
{
public:
    RotationRig();
    ~RotationRig();
    RotationRig(const RotationRig&) = delete;
    RotationRig& operator=(const RotationRig&) = delete;

    /// Made on first use.
    RotationEngine& engine();
    /// The next launch: a new engine over the same settings; its applier starts empty.
    RotationEngine& restart();
    /// The engine's stand-in for the wallpaper service; makes the engine.
    RecordingApplier& applier()
    {
        engine();
        return *m_applier;
    }

    /// Waits until the engine's work has ended; false on a hang.
    bool settle();
    /// Moves the clock on and waits for whatever that woke.
    bool advance(std::chrono::milliseconds by);
    /// Runs one change to its end.
    bool change(bool userInitiated = false);

    /// The API requests since the last call, as "GET /path?query".
    QStringList requestLines();
    /// The log lines of the category, without time stamps: "E change failed: ...".
    static QStringList logLines(const QString& category);

    /// A new playlist of the demo account holding these catalog photos, marked for the wallpaper
    /// and added to the account's playlists.
    Album addPlaylist(const QString& title, const QStringList& uuids);

    /// 1920x1080 displays named D1, D2, ... side by side.
    static QList<DisplayInfo> displays(int count);

    SandboxFixture sandbox;
    QString token;
    ManualClock clock;
    Defaults& defaults;
    CrashReporter reporter;
    APIClient api{reporter};
    FakeScreens screens;
    FakeWakeWatcher wake;
    FakeRotationLibrary library;
    CallJournal journal;
    RecordingEvents events{journal};
    /// Signed in as the demo account with its playlists.
    Account account;
    /// The alerts the engine raised.
    QStringList alerts;

private:
    std::unique_ptr<RotationEngine> m_engine;
    RecordingApplier* m_applier = nullptr;
};

} // namespace lumi::test
