#pragma once

#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "model/Medium.h"
#include "model/RotationInterval.h"
#include "platform/DisplayInfo.h"
#include "state/WallpaperRotation.h"
#include "wallpaper/CalendarOverlay.h"
#include "wallpaper/CalendarService.h"
#include "wallpaper/FailureBackoff.h"
#include "wallpaper/PhotoPool.h"
#include "wallpaper/RotationRecord.h"

#include <QCoroTask>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>

#include <chrono>
#include <exception>
#include <memory>
#include <optional>

namespace lumi {

class APIClient;
class Account;
class Clock;
class Defaults;
class EventSink;
class RotationLibrary;
class Screens;
class WakeWatcher;
class WallpaperApplier;
struct User;

/// The wallpaper rotation: a tick every 30 s that changes the wallpaper when the interval has
/// passed or redraws it when the calendar or the look on screen is stale, a change asked for by
/// the user, a photo the user picked, and the reactions to waking from sleep and to display
/// changes. It remembers what each display shows across launches, and backs off after failures.
/// Main thread only.
///
/// A change, a redraw and setting a picked photo share one busy flag (isChanging): whichever is
/// asked for while another runs gives up at once. A reset makes work still in flight drop its
/// results. It keeps no copy of the user's settings: it reads the account for every tick, change
/// and redraw.
class RotationEngine final : public QObject, public WallpaperRotation
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RotationEngine)

public:
    static constexpr std::chrono::seconds tickPeriod{30};
    static constexpr std::chrono::seconds wakeDelay{10};
    static constexpr std::chrono::seconds syncDelay{5};
    /// Failed changes in a row before the failure is told: a passing hiccup heals by itself, a
    /// change and two retries that fail don't.
    static constexpr int failuresToTell = 3;

    /// Long-lived services made by the composition root before the engine, kept until after it.
    struct Services
    {
        const Account& account;
        Clock& clock;
        Defaults& defaults;
        APIClient& api;
        Screens& screens;
        WakeWatcher& wake;
        RotationLibrary& library;
        EventSink& events;
    };

    /// Restores what the last run showed. Starts nothing.
    RotationEngine(Services services, std::unique_ptr<WallpaperApplier> wallpaper, QObject* parent = nullptr);
    ~RotationEngine() override;

    // --- WallpaperRotation ----------------------------------------------------------------------
    void start() override;
    void stop() override;
    /// Forgets what was shown and queued, here and in the settings; the back-off and the last
    /// error stay.
    void reset() override;
    void redrawNow() override;
    QCoro::Task<bool> changeWallpaper(bool userInitiated) override;
    QCoro::Task<bool> showPhoto(Medium photo, std::optional<QList<DisplayInfo>> displays) override;
    std::optional<Medium> nowShowing() const override { return m_nowShowing; }
    std::optional<QString> failure() const override { return m_failing ? m_lastError : std::nullopt; }
    std::optional<QDateTime> retryAt() const override { return m_backoff.retryAt(); }
    void setRetryAt(std::optional<QDateTime> at) override { m_backoff.setRetryAt(std::move(at)); }
    QString poolKey() const override { return m_pool.key(); }
    void setPoolKey(QString key) override { m_pool.setKey(std::move(key)); }

    // --- More operations ------------------------------------------------------------------------
    /// Builds the pool from a sync pass's listings, so the next change asks the service nothing;
    /// leaves the pool as it is when they don't cover the marked playlists or are older than it.
    /// They count as built when they were listed.
    void rebuildPool(const PlaylistListings& listings, const QDateTime& listedAt);
    /// Composes the photos on screen again with the current calendar, fit and title.
    QCoro::Task<void> redrawCalendar();
    /// The diagnostics' check: sets the photo on the first display with the current look, always
    /// downloading it again, and records nothing. None on success, else the failure text.
    QCoro::Task<std::optional<QString>> testWallpaper(Medium photo, bool useCDN);

    /// Whether a timed change is due: never for "never"; for "1day" when the last change was not
    /// today (local calendar); otherwise once the interval has passed or when the last change lies
    /// ahead of now (the clock was set back). No last change is always due.
    static bool isDue(RotationInterval interval, const std::optional<QDateTime>& lastChange,
                      const QDateTime& now);

    // --- Observed state -------------------------------------------------------------------------
    bool isChanging() const { return m_changing; }
    const std::optional<QString>& lastError() const { return m_lastError; }
    /// Display key to the photo it shows.
    const QHash<QString, Medium>& showing() const { return m_showing; }
    bool isRunning() const { return m_loop.has_value(); }
    /// Ticks, changes, redraws and reactions at work now; a loop asleep between ticks is not.
    int runningTasks() const { return m_runningTasks; }

    CalendarService& calendar() { return m_calendar; }
    const PhotoPool& pool() const { return m_pool; }
    const FailureBackoff& backoff() const { return m_backoff; }
    const RotationRecord& record() const { return m_record; }

signals:
    void nowShowingChanged();
    void isChangingChanged();
    void lastErrorChanged();
    /// Changes began to keep failing, or work again.
    void failureChanged();
    void runningTasksChanged();
    /// A change the user asked for failed; the text is for the user to see.
    void alertRaised(const QString& alert);

private:
    /// Counts a piece of work from its construction to its destruction, if the engine lives.
    class Work;
    /// Holds the busy flag from its construction to its destruction, if the engine lives.
    class Busy;

    QCoro::Task<void> runLoop(CancelToken cancel);
    QCoro::Task<void> tick();
    QCoro::Task<void> tickAfterWake(CancelToken cancel);
    void noteWake();
    void noteDisplaysChanged();
    void reactToDisplays();
    void changeForDisplays();

    /// One display's part of a change, a redraw or a shown photo.
    struct Target
    {
        Medium photo;
        DisplayInfo display;
    };

    QCoro::Task<void> buildPool();
    /// Sets every target with the current look, as one change; each one's failure text or none, in
    /// the targets' order.
    QCoro::Task<QList<std::optional<QString>>> applyAll(QList<Target> targets,
                                                        std::optional<CalendarOverlay> overlay,
                                                        bool forceDownload = false,
                                                        std::optional<bool> useCDN = std::nullopt);
    /// Notes what each display that took its photo shows; the first failure text, or none.
    std::optional<QString> noteShown(const QList<Target>& targets,
                                     const QList<std::optional<QString>>& errors);
    void recordShown(const Medium& photo, const std::optional<CalendarOverlay>& overlay);
    void noteChangeFailure(const QString& text, bool userInitiated);
    std::optional<CalendarOverlay> currentOverlay() const;
    std::optional<User> currentUser() const;
    bool canChange() const;

    void setNowShowing(std::optional<Medium> photo);
    void setChanging(bool changing);
    void setLastError(std::optional<QString> error);
    void setFailing(bool failing);
    void addRunning(int delta);
    /// Starts a task nobody awaits; its end is the one place a failure is logged.
    static void spawn(QCoro::Task<void> task);
    static QCoro::Task<void> settle(QCoro::Task<void> task);
    static QString describe(std::exception_ptr failure);

    const Account& m_account;
    Clock& m_clock;
    APIClient& m_api;
    Screens& m_screens;
    WakeWatcher& m_wake;
    RotationLibrary& m_library;
    EventSink& m_events;
    std::unique_ptr<WallpaperApplier> m_wallpaper;
    CalendarService m_calendar;
    AppLog m_log{QStringLiteral("rotation")};

    RotationRecord m_record;
    PhotoPool m_pool;
    FailureBackoff m_backoff;
    std::optional<Medium> m_nowShowing;
    QHash<QString, Medium> m_showing;
    bool m_changing = false;
    std::optional<QString> m_lastError;
    bool m_failing = false;

    std::optional<CancelToken> m_loop;
    QList<QMetaObject::Connection> m_observers;
    bool m_displaysQueued = false;
    bool m_displaysWaiting = false;
    quint64 m_generation = 0;
    int m_runningTasks = 0;
    /// Pictures were made and dropped since the last trim.
    bool m_picturesFreed = false;
};

} // namespace lumi
