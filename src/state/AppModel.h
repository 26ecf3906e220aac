#pragma once

#include "model/Account.h"
#include "model/Album.h"
#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "model/Category.h"
#include "model/MediaQuery.h"
#include "model/Medium.h"
#include "model/PlaceQuery.h"
#include "model/PlacesTree.h"
#include "model/PlayMode.h"
#include "model/RotationInterval.h"
#include "model/SaverEffect.h"
#include "model/ServerAlert.h"
#include "model/User.h"
#include "model/WallpaperFit.h"
#include "platform/DisplayInfo.h"
#include "state/ErrorSink.h"
#include "state/ModelServices.h"

#include <QCoroTask>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <chrono>
#include <exception>
#include <functional>
#include <optional>

namespace lumi {

/// The one application model: the session (phase, user, token), the status shown to the user,
/// sharing, and the account operations; the error sink the views report to. Playlist editing,
/// catalog pages, the saver, settings and guidance (notices, view requests, survey, onboarding and
/// tour) are parts of their own that the root builds over it.
/// Main thread only. Each observed property has a getter, a setter that stores the value and
/// emits its change signal only when the value differs, and that signal.
///
/// Sessions are numbered: sign-in and sign-out start a new one, and whatever an operation of an
/// earlier session receives after that (answers, errors) is dropped rather than applied.
class AppModel final : public ErrorSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppModel)

public:
    enum class Phase { launching, signedOut, ready };
    Q_ENUM(Phase)

    /// The session an operation started in; current while the model lives and no sign-in or
    /// sign-out came between.
    struct Session
    {
        QPointer<AppModel> model;
        quint64 generation;
        bool isCurrent() const;
    };

    static constexpr std::chrono::seconds refreshPeriod{1800};
    static constexpr std::chrono::seconds tokenAgeLimit{86400};
    static constexpr std::chrono::seconds userStaleness{30};
    static constexpr std::chrono::seconds albumSyncDelay{20};
    static constexpr qint64 diskCacheBytes = 512LL * 1024 * 1024;

    explicit AppModel(ModelServices services, QObject* parent = nullptr);
    ~AppModel() override;

    // --- Observed state -------------------------------------------------------------------------
    Phase phase() const { return m_phase; }
    void setPhase(Phase phase);
    /// Signed in, the user and the playlists; the model is its one writer.
    const Account& account() const { return m_account; }
    void setUser(std::optional<User> user);
    void setAlbums(QList<Album> albums);
    const QList<Category>& categories() const { return m_categories; }
    void setCategories(QList<Category> categories);
    /// The collections came from the service in this session.
    bool categoriesLoaded() const { return m_categoriesLoaded; }
    const QSet<QString>& favoriteUUIDs() const { return m_favoriteUUIDs; }
    void setFavoriteUUIDs(QSet<QString> uuids);
    bool isOffline() const { return m_offline; }
    void setOffline(bool offline);
    const std::optional<QString>& alert() const { return m_alert; }
    void setAlert(std::optional<QString> alert);
    const std::optional<ServerAlert>& banner() const { return m_banner; }
    void setBanner(std::optional<ServerAlert> banner);
    bool askLoginItem() const { return m_askLoginItem; }
    void setAskLoginItem(bool ask);
    bool electronNoticeRequested() const { return m_electronNoticeRequested; }
    void setElectronNoticeRequested(bool requested);
    int windowShown() const { return m_windowShown; }
    /// The window controller counts every showing of the main window here.
    void noteWindowShown();
    const std::optional<QString>& sessionToken() const { return m_sessionToken; }
    /// Also hands the token to the API client, whether or not it changed.
    void setSessionToken(std::optional<QString> token);

    // --- Plain state ----------------------------------------------------------------------------
    APIClient& api() const { return m_api; }
    /// Counts the sessions: the model's parts drop what an ended session receives.
    quint64 generation() const { return m_generation; }

    // --- Computed -------------------------------------------------------------------------------
    std::optional<Album> favoritesAlbum() const;
    /// The albums without the favorites playlist.
    QList<Album> playlists() const;

    // --- Launch, start sequence and refresh loop ------------------------------------------------
    /// Once at start: installs the URL cache, restores the session and starts it, or asks for a sign-in.
    void launch();
    /// Reads the user of a session token; a failure other than a rejected token keeps the token
    /// and tries again later.
    QCoro::Task<void> restoreUser();
    /// Brings a session up: events, token, device record, catalog loads, services, refresh loop.
    /// A failing step never stops it; a session that ends meanwhile does.
    QCoro::Task<void> startSequence();
    QCoro::Task<void> refreshToken();
    QCoro::Task<void> updateDevice();
    /// Makes a user from the server the model's user, caches it, and drives the hotkeys.
    void applyUser(User user);
    void refreshUserIfStale();
    QCoro::Task<void> refreshUser();
    /// After additions: the user (for its playlist stamp), then the albums with force, once each.
    QCoro::Task<void> refreshUserAndAlbums();
    /// From now on an activation of the application refreshes a stale user.
    void observeActivation();
    /// The shell calls this whenever the application becomes active.
    void applicationActivated();
    void startRefreshLoop();

    // --- Catalog --------------------------------------------------------------------------------
    QCoro::Task<void> loadCategories();
    QCoro::Task<void> reloadAlbums(bool force);
    /// Favorites first, then recommended playlists, then by title (locale-aware, ignoring case).
    static bool albumOrder(const Album& a, const Album& b);
    QCoro::Task<void> loadFavoriteUUIDs();
    /// A banner becomes the banner; the first-run alerts (onboarding, getting started) are
    /// announced once per session.
    QCoro::Task<void> loadAlerts();
    QCoro::Task<void> acknowledgeAlert();
    void dismissBanner(bool openLink);

    // --- Account --------------------------------------------------------------------------------
    // The operations a view awaits throw the request's APIError to it instead of reporting it.
    QCoro::Task<void> signIn(QString email, QString password);
    QCoro::Task<void> createAccount(QString firstName, QString lastName, QString email, QString password,
                                    bool createSampler);
    QCoro::Task<void> finishSignIn(SignInResponse response);
    QCoro::Task<void> changePassword(QString newPassword);
    /// The server's status text.
    QCoro::Task<QString> deleteAccount();
    void signOut();

    /// The one error sink: offline flag for network failures, sign-out for a rejected token
    /// (quiet or not), otherwise the error's text as the alert unless quiet.
    void handleError(const std::exception& error, bool quiet);
    void handleError(std::exception_ptr error, bool quiet);
    /// A failure of something the user asked for: as handleError, and a lost connection is said
    /// too, since nothing tries the action again.
    void handleActionError(const std::exception& error);
    void handleActionError(std::exception_ptr error) override;
    static QString offlineActionMessage();

    // --- Photo pools -----------------------------------------------------------------------------
    void resetPhotoPools();

    // --- Sharing ---------------------------------------------------------------------------------
    /// None when the photo was sent, else the text for the share sheet.
    QCoro::Task<std::optional<QString>> emailPhoto(Medium photo, QString address, QString message);
    static QString emailFailureMessage();

    /// Tasks the model started that are at work now; a refresh loop asleep between cycles is not.
    int runningTasks() const { return m_runningTasks; }
    /// The session now, for the model's parts to hold across a wait and drop what arrives after it ended.
    Session session() { return Session{this, m_generation}; }
    /// Starts a task the caller does not await; its end is the one place its failure is reported.
    /// A task that counts its own work (the refresh loop) passes counted false.
    void spawn(QCoro::Task<void> task, bool counted = true);

signals:
    void phaseChanged();
    void categoriesChanged();
    void favoriteUUIDsChanged();
    void offlineChanged();
    void alertChanged();
    void bannerChanged();
    void askLoginItemChanged();
    void electronNoticeRequestedChanged();
    /// The first-run alerts of the session, each at most once.
    void onboardingArrived();
    void tourArrived();
    void windowShownChanged();
    void sessionTokenChanged();
    void runningTasksChanged();

private:
    /// Counts a task as at work from its construction to its destruction, if the model lives.
    class Work final
    {
    public:
        explicit Work(AppModel* model);
        ~Work();
        Work(const Work&) = delete;
        Work& operator=(const Work&) = delete;

    private:
        QPointer<AppModel> m_model;
    };

    static QCoro::Task<void> settle(Session session, QCoro::Task<void> task, bool counted);
    QCoro::Task<void> refreshCycles(CancelToken cancel);
    /// Applies the user a request answers with and clears the offline flag; reports a failure.
    /// With reloadChangedPlaylists false, a changed playlist stamp leaves the albums to the caller.
    QCoro::Task<void> adoptUser(QCoro::Task<UserResponse> request, bool reloadChangedPlaylists = true);
    void applyUser(User user, bool reloadChangedPlaylists);
    /// The user's flags switch the global shortcuts on or off.
    void applyShortcuts(const User& user);
    /// Picker answers arrive after the dialog: the session that asked must still be signed in.
    bool isStillSignedIn(const Session& session) const;
    void applyAlbums(QList<Album> albums, bool force);
    void storeUser(const User& user);
    std::optional<User> cachedUser() const;
    /// One try at reading the session's user: true when it is settled (the user read, or the token
    /// rejected and the session ended), false when it is worth trying again. Once the retries wait
    /// their longest, a refusal of the service (not an outage) is shown, once.
    QCoro::Task<bool> tryRestoreUser(bool atLongestWait);
    /// Loads again what the start sequence failed to load; true when everything is there.
    QCoro::Task<bool> loadMissingStartData();
    bool startDataLoaded() const;
    /// The wait before a retry (0 for the first) of a failed launch step: 30 s, then doubling,
    /// at most the refresh period.
    static std::chrono::milliseconds retryDelay(int retry);
    /// Runs attempt after each retry delay until it returns true, telling it whether the delays
    /// have reached their longest; replaces earlier retries and ends with the session.
    void keepTrying(std::function<QCoro::Task<bool>(bool atLongestWait)> attempt);
    QCoro::Task<void> retryCycles(std::function<QCoro::Task<bool>(bool atLongestWait)> attempt,
                                  CancelToken cancel);
    /// More than limit has passed since the moment (boot-time clock); none is the distant past.
    bool hasAgedBeyond(const std::optional<std::chrono::milliseconds>& since,
                       std::chrono::milliseconds limit) const;

    Account& m_account;
    Clock& m_clock;
    Defaults& m_defaults;
    APIClient& m_api;
    WallpaperRotation& m_rotation;
    SyncScheduler& m_sync;
    IdleWatch& m_idle;
    ShortcutRegistry& m_shortcuts;
    SaverPlayer& m_player;
    WindowPresenter& m_window;
    EventSink& m_events;
    DailyNotifications& m_notifications;
    AppTakeover& m_takeover;
    Autostart& m_autostart;
    LinkOpener& m_links;
    Screens& m_screens;
    AppLog m_log{QStringLiteral("app")};

    Phase m_phase = Phase::launching;
    QList<Category> m_categories;
    QSet<QString> m_favoriteUUIDs;
    bool m_offline = false;
    std::optional<QString> m_alert;
    std::optional<ServerAlert> m_banner;
    bool m_askLoginItem = false;
    bool m_electronNoticeRequested = false;
    int m_windowShown = 0;
    std::optional<CancelToken> m_refreshLoop;
    std::optional<CancelToken> m_retries;
    bool m_restoreFailureShown = false;
    bool m_categoriesLoaded = false;
    bool m_favoritesLoaded = false;
    // Moments on the boot-time clock, so ages include time the computer slept; none is the distant past.
    std::optional<std::chrono::milliseconds> m_tokenRefreshedAt;
    std::optional<std::chrono::milliseconds> m_userCheckedAt;
    bool m_observingActivation = false;
    QSet<QString> m_alertsHandled;
    std::optional<QString> m_sessionToken;
    quint64 m_generation = 0;
    int m_runningTasks = 0;
};

} // namespace lumi
