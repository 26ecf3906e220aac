#pragma once

#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Defaults.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/XdgAutostart.h"
#include "platform/linux/XdgTrash.h"
#include "services/CrashReporter.h"
#include "state/AppModel.h"
#include "state/CatalogPages.h"
#include "state/Guidance.h"
#include "state/PlaylistEditor.h"
#include "state/SaverLauncher.h"
#include "state/SettingsSync.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingEvents.h"
#include "support/state/RecordingIdleWatch.h"
#include "support/state/RecordingLinkOpener.h"
#include "support/state/RecordingNotifications.h"
#include "support/state/RecordingPickers.h"
#include "support/state/RecordingPlayer.h"
#include "support/state/RecordingRotation.h"
#include "support/state/RecordingShortcuts.h"
#include "support/state/RecordingSync.h"
#include "support/state/RecordingTakeover.h"
#include "support/state/RecordingWindowPresenter.h"

#include <QStringList>

#include <chrono>
#include <memory>

namespace lumi::test {

/// An application model wired to a private sandbox, a manual clock, a settings store and the
/// autostart folder and trash of a temporary home, scripted file pickers, and recording stand-ins
/// for the neighbours that are not built yet. Its helpers block; they are for test code only.
class ModelHarness final
{
public:
    /// sandboxArguments go to the sandbox at start.
    explicit ModelHarness(QStringList sandboxArguments = {});
    ~ModelHarness();
    ModelHarness(const ModelHarness&) = delete;
    ModelHarness& operator=(const ModelHarness&) = delete;

    /// Made on first use.
    AppModel& model();
    /// The model's catalog pages, made with it.
    CatalogPages& catalog();
    /// The model's saver part, made with it.
    SaverLauncher& saver();
    /// The model's settings part, made with it.
    SettingsSync& settings();
    /// The model's guidance (notices, view requests, survey, onboarding, tour), made with it.
    Guidance& guidance();
    /// The playlist and folder operations on that model; made on first use.
    PlaylistEditor& playlists();
    /// The next start of the app: a new model over the same files, settings and sandbox.
    AppModel& relaunch();
    /// Waits until the model's tasks have ended (a refresh loop may sleep on); false on a hang.
    bool settle();
    /// Moves the clock on and waits for whatever that woke.
    bool advance(std::chrono::milliseconds by);

    /// What an earlier run left: the session-token file of a fresh sign-in and, when asked, the
    /// cached user. Returns the token.
    QString leaveSession(const QString& email, const QString& password, bool cacheUser);
    /// Launches the model on a session an earlier run left and waits for its start sequence; the
    /// requests and calls that made are forgotten.
    AppModel& launchSignedIn(const QString& email = SandboxFixture::demoEmail,
                             const QString& password = SandboxFixture::demoPassword);
    /// Signs in through the model and waits for the start sequence to end; throws what sign-in throws.
    void signIn(const QString& email, const QString& password);

    /// The API requests the sandbox received since the last clear, as "METHOD /path?query",
    /// without the crash and analytics posts of other services.
    QStringList requestLines();
    /// The same requests in full, as the sandbox recorded them.
    QJsonArray apiRequests();
    /// Those with this method and path under the API ("surveys", say).
    QJsonArray apiRequests(const QString& method, const QString& path);
    /// The JSON body of a recorded request; empty when it has none.
    static QJsonObject bodyOf(const QJsonValue& request);
    /// Photos of the catalog's newest list as the signed-in model would receive them; the
    /// requests recorded so far are forgotten.
    QList<Medium> catalogPhotos(int count, int page = 1);
    /// The sandbox's first featured place, all three slugs set (empty when the tree has none); the
    /// requests recorded so far are forgotten.
    PlaceQuery featuredPlace();
    /// The held album with this fragment; a default album when there is none.
    Album album(const QString& fragment);
    /// The lines of the log file, for lines of the category "app" without their time stamps.
    QStringList appLogLines() const;

    SandboxFixture sandbox;
    ManualClock clock;
    /// The shared store, which other services of the app write too.
    Defaults& defaults;
    CrashReporter reporter;
    APIClient api{reporter};
    CallJournal journal;
    RecordingRotation rotation{journal};
    RecordingSync sync{journal, defaults};
    RecordingIdleWatch idle{journal};
    RecordingShortcuts shortcuts{journal};
    RecordingPlayer player{journal};
    RecordingWindowPresenter window{journal};
    RecordingEvents events{journal};
    RecordingNotifications notifications{journal};
    RecordingTakeover takeover{journal};
    RecordingLinkOpener links{journal};
    XdgAutostart autostart;
    RecordingPickers pickers;
    /// The real trash of the temporary home.
    XdgTrash trash;
    /// The screens of the offscreen platform.
    QtScreens screens;

private:
    std::unique_ptr<Account> m_account;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<SettingsSync> m_settings;
    std::unique_ptr<Guidance> m_guidance;
    std::unique_ptr<CatalogPages> m_catalog;
    std::unique_ptr<SaverLauncher> m_saver;
    std::unique_ptr<PlaylistEditor> m_playlists;
};

} // namespace lumi::test
