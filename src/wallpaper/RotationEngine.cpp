#include "wallpaper/RotationEngine.h"

#include "imaging/ImagingThread.h"
#include "library/RotationLibrary.h"
#include "model/APIError.h"
#include "model/Account.h"
#include "model/Clock.h"
#include "platform/Screens.h"
#include "platform/WakeWatcher.h"
#include "state/EventSink.h"
#include "wallpaper/WallpaperApplier.h"
#include "wallpaper/WallpaperError.h"
#include "wallpaper/WallpaperLook.h"

#include <QPointer>
#include <QSet>
#include <QTimer>

#include <utility>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

qint64 areaOf(const std::optional<MediaFormat>& format)
{
    return format ? qint64(format->width) * format->height : 0;
}

} // namespace

class RotationEngine::Work final
{
public:
    explicit Work(RotationEngine* engine) : m_engine(engine) { engine->addRunning(1); }
    ~Work()
    {
        if (m_engine)
            m_engine->addRunning(-1);
    }
    Q_DISABLE_COPY_MOVE(Work)

private:
    QPointer<RotationEngine> m_engine;
};

class RotationEngine::Busy final
{
public:
    explicit Busy(RotationEngine* engine) : m_engine(engine) { engine->setChanging(true); }
    ~Busy()
    {
        if (m_engine)
            m_engine->setChanging(false);
    }
    Q_DISABLE_COPY_MOVE(Busy)

private:
    QPointer<RotationEngine> m_engine;
};

RotationEngine::RotationEngine(Services services, std::unique_ptr<WallpaperApplier> wallpaper,
                               QObject* parent)
    : QObject(parent), m_account(services.account), m_clock(services.clock), m_api(services.api),
      m_screens(services.screens), m_wake(services.wake), m_library(services.library),
      m_events(services.events), m_wallpaper(std::move(wallpaper)), m_calendar(services.clock),
      m_record(services.defaults)
{
    m_nowShowing = m_record.nowShowing();
    m_showing = m_record.showingByDisplay();
}

RotationEngine::~RotationEngine()
{
    // Wakes the loop's sleep, which then ends without touching the engine.
    stop();
}

// --- Loop and system events ---------------------------------------------------------------------

void RotationEngine::start()
{
    if (m_loop)
        return;
    m_loop = CancelToken();
    spawn(runLoop(*m_loop));
    m_observers.append(connect(&m_wake, &WakeWatcher::woke, this, &RotationEngine::noteWake));
    m_observers.append(
        connect(&m_screens, &Screens::displaysChanged, this, &RotationEngine::noteDisplaysChanged));
}

void RotationEngine::stop()
{
    for (const QMetaObject::Connection& observer : std::as_const(m_observers))
        disconnect(observer);
    m_observers.clear();
    if (m_loop) {
        const CancelToken loop = *m_loop;
        m_loop.reset();
        loop.cancel();
    }
}

QCoro::Task<void> RotationEngine::runLoop(CancelToken cancel)
{
    const QPointer<RotationEngine> self(this);
    Clock& clock = m_clock;
    while (self && !cancel.isCancelled()) {
        // Without logind a sleep shows only as a clock jump, looked for once per pass.
        m_wake.check();
        co_await tick();
        if (!self || cancel.isCancelled())
            break;
        co_await clock.sleep(tickPeriod, cancel);
    }
}

QCoro::Task<void> RotationEngine::tick()
{
    const Work work(this);
    if (!m_account.isSignedIn())
        co_return;
    const std::optional<User> user = m_account.user();
    if (!user)
        co_return;
    const QDateTime now = m_clock.now();
    if (m_backoff.holds(now))
        co_return;
    if (isDue(RotationInterval::fromSetting(user->rotateDesktop), m_record.lastChange(), now)) {
        co_await changeWallpaper(false);
        co_return;
    }
    const QString wantedCalendar = m_calendar.wantedKey(CalendarService::calendarSettings(user));
    if (wantedCalendar == m_record.calendarOnScreen() &&
        WallpaperLook::of(user).key() == m_record.fitOnScreen())
        co_return;
    if (!m_calendar.canAttempt())
        co_return;
    co_await redrawCalendar();
}

bool RotationEngine::isDue(RotationInterval interval, const std::optional<QDateTime>& lastChange,
                           const QDateTime& now)
{
    if (interval == RotationInterval::never)
        return false;
    if (!lastChange)
        return true;
    if (interval == RotationInterval::oneDay)
        return lastChange->toLocalTime().date() != now.toLocalTime().date();
    const qint64 elapsed = lastChange->msecsTo(now);
    return elapsed < 0 || elapsed >= qint64(interval.seconds().value_or(0)) * 1000;
}

void RotationEngine::noteWake()
{
    if (m_loop)
        spawn(tickAfterWake(*m_loop));
}

QCoro::Task<void> RotationEngine::tickAfterWake(CancelToken cancel)
{
    const QPointer<RotationEngine> self(this);
    // The network and the desktop need a moment after waking.
    const bool elapsed = co_await m_clock.sleep(wakeDelay, cancel);
    if (elapsed && self)
        co_await tick();
}

void RotationEngine::noteDisplaysChanged()
{
    // A burst of notifications within one turn of the event loop is one change of displays.
    if (m_displaysQueued)
        return;
    m_displaysQueued = true;
    addRunning(1);
    QTimer::singleShot(0, this, [this] {
        m_displaysQueued = false;
        addRunning(-1);
        if (m_loop)
            reactToDisplays();
    });
}

void RotationEngine::reactToDisplays()
{
    // A larger display needs larger photos, whoever is signed in.
    if (areaOf(m_library.storedFormat()) < areaOf(m_library.targetFormat()))
        m_library.requestSync(syncDelay, false);
    changeForDisplays();
}

void RotationEngine::changeForDisplays()
{
    if (!currentUser() || !m_record.lastChange())
        return;
    // The change running now may have used the old displays: one more follows when it ends.
    if (m_changing) {
        m_displaysWaiting = true;
        return;
    }
    spawn([](QCoro::Task<bool> change) -> QCoro::Task<void> { co_await change; }(changeWallpaper(false)));
}

// --- Change -------------------------------------------------------------------------------------

QCoro::Task<bool> RotationEngine::changeWallpaper(bool userInitiated)
{
    if (userInitiated)
        m_backoff.setRetryAt(std::nullopt);
    if (m_changing || !canChange())
        co_return false;
    const Work work(this);
    const Busy busy(this);
    const QPointer<RotationEngine> self(this);
    const quint64 generation = m_generation;
    const auto current = [&] { return self && self->m_generation == generation; };

    std::exception_ptr failure;
    try {
        co_await buildPool();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!current())
        co_return false;
    if (failure) {
        noteChangeFailure(describe(failure), userInitiated);
        co_return false;
    }

    const std::optional<CalendarOverlay> overlay = currentOverlay();
    const std::optional<User> user = currentUser();
    const bool samePhoto = user && user->multiDisplayNextPaper == u"same"_s;
    const QList<DisplayInfo> displays = m_screens.displays();
    QList<Target> targets;
    for (qsizetype i = 0; i < displays.size(); ++i) {
        const bool shuffle = currentUser().value_or(User()).paperRandom.value_or(false);
        const std::optional<Medium> photo =
            i > 0 && samePhoto ? targets.first().photo : m_pool.next(shuffle, m_nowShowing);
        if (!photo) {
            noteChangeFailure(WallpaperError::emptyPool().message(), userInitiated);
            co_return false;
        }
        targets.append({*photo, displays[i]});
    }
    QCoro::Task<QList<std::optional<QString>>> applying = applyAll(targets, overlay);
    const QList<std::optional<QString>> errors = co_await std::move(applying);
    if (!current())
        co_return false;
    const std::optional<QString> error = noteShown(targets, errors);
    if (error) {
        noteChangeFailure(*error, userInitiated);
        co_return false;
    }
    if (!targets.isEmpty())
        recordShown(targets.first().photo, overlay);
    co_return true;
}

QCoro::Task<void> RotationEngine::buildPool()
{
    // A fresh pool reads no folder: the wallpaper folder may hold thousands of photos.
    if (m_pool.isFresh(PhotoPool::keyFor(m_account.albums(), m_account.user()), m_clock.now()))
        co_return;
    const PhotoPool::Sources sources = PhotoPool::sources(m_account.albums(), m_account.user(), m_library);
    const QPointer<RotationEngine> self(this);
    const quint64 generation = m_generation;
    QList<Medium> photos;
    try {
        photos = co_await PhotoPool::gather(m_api, sources);
    } catch (const APIError& error) {
        if (error.kind() != APIError::Kind::Network || !self || self->m_generation != generation)
            throw;
        // Out of reach: the last pool of this run goes on, else the photos on disk, until the
        // service answers a later build.
        if (!m_pool.photos().isEmpty()) {
            m_log.info(u"pool: service out of reach; the last pool goes on"_s);
            co_return;
        }
        QList<Medium> onDisk = PhotoPool::onDisk(sources, m_library.syncedTitles());
        if (onDisk.isEmpty())
            throw;
        m_pool.commit(std::move(onDisk), QString(), m_clock.now());
        m_log.info(u"pool: service out of reach; %1 photos on disk"_s.arg(m_pool.photos().size()));
        co_return;
    }
    if (!self || self->m_generation != generation)
        co_return;
    m_pool.commit(std::move(photos), sources.key, m_clock.now());
    m_log.info(u"pool: %1 photos from %2 playlists"_s.arg(m_pool.photos().size()).arg(sources.marked.size()));
}

void RotationEngine::rebuildPool(const PlaylistListings& listings, const QDateTime& listedAt)
{
    const PhotoPool::Sources sources = PhotoPool::sources(m_account.albums(), m_account.user(), m_library);
    std::optional<QList<Medium>> photos = PhotoPool::fromListings(listings, sources);
    if (!photos || photos->isEmpty() || m_pool.isBuiltAfter(listedAt))
        return;
    m_pool.commit(std::move(*photos), sources.key, listedAt);
    m_log.info(u"pool: %1 photos from the sync's listings of %2 playlists"_s.arg(m_pool.photos().size())
                   .arg(sources.marked.size()));
}

QCoro::Task<QList<std::optional<QString>>> RotationEngine::applyAll(QList<Target> targets,
                                                                    std::optional<CalendarOverlay> overlay,
                                                                    bool forceDownload,
                                                                    std::optional<bool> useCDN)
{
    const WallpaperLook look = WallpaperLook::of(currentUser());
    QList<WallpaperPlacement> placements;
    for (const Target& target : std::as_const(targets))
        placements.append({target.photo, target.display, look.titleFor(target.photo)});
    // One change: every display is composed while the others are, then all are set together.
    QCoro::Task<QList<std::exception_ptr>> applying = m_wallpaper->applyWallpapers(
        std::move(placements), std::move(overlay), look.fit, useCDN.value_or(look.useCDN), forceDownload);
    const QList<std::exception_ptr> failures = co_await std::move(applying);
    QList<std::optional<QString>> errors;
    for (const std::exception_ptr& failure : failures)
        errors.append(failure ? std::optional(describe(failure)) : std::nullopt);
    m_picturesFreed = true;
    co_return errors;
}

std::optional<QString> RotationEngine::noteShown(const QList<Target>& targets,
                                                 const QList<std::optional<QString>>& errors)
{
    std::optional<QString> first;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        if (!errors[i])
            m_showing.insert(targets[i].display.key(), targets[i].photo);
        else if (!first)
            first = errors[i];
    }
    return first;
}

void RotationEngine::recordShown(const Medium& photo, const std::optional<CalendarOverlay>& overlay)
{
    setNowShowing(photo);
    m_record.setLastChange(m_clock.now());
    setLastError(std::nullopt);
    m_backoff.clear();
    setFailing(false);
    m_record.setLook(overlay ? overlay->key : u"none"_s, WallpaperLook::of(currentUser()).key());

    // Displays unplugged since are forgotten; connected ones that were not part of this change stay.
    QSet<QString> connected;
    for (const DisplayInfo& display : m_screens.displays())
        connected.insert(display.key());
    m_showing.removeIf([&connected](const QHash<QString, Medium>::iterator entry) {
        return !connected.contains(entry.key());
    });
    m_record.setShown(photo, m_showing);
}

void RotationEngine::noteChangeFailure(const QString& text, bool userInitiated)
{
    setLastError(text);
    m_log.error(u"change failed: "_s + text);
    m_backoff.noteFailure(m_clock.now());
    if (m_backoff.failures() >= failuresToTell)
        setFailing(true);
    if (userInitiated)
        emit alertRaised(text);
}

// --- Redraw, a picked photo, the diagnostics' check ---------------------------------------------

void RotationEngine::redrawNow()
{
    m_calendar.clearNextAttempt();
    spawn(redrawCalendar());
}

QCoro::Task<void> RotationEngine::redrawCalendar()
{
    if (m_changing || !canChange())
        co_return;
    const Work work(this);
    const Busy busy(this);
    const QPointer<RotationEngine> self(this);
    const quint64 generation = m_generation;

    const std::optional<CalendarOverlay> overlay = currentOverlay();
    QList<Target> targets;
    for (const DisplayInfo& display : m_screens.displays()) {
        const auto recorded = m_showing.constFind(display.key());
        // A display connected since the last change shows the photo of the first display.
        const std::optional<Medium> photo = recorded != m_showing.cend() ? *recorded : m_nowShowing;
        if (photo)
            targets.append({*photo, display});
    }
    QCoro::Task<QList<std::optional<QString>>> applying = applyAll(targets, overlay);
    const QList<std::optional<QString>> errors = co_await std::move(applying);
    if (!self || self->m_generation != generation)
        co_return;
    bool failed = false;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        if (errors[i]) {
            m_log.error(
                u"calendar redraw failed on display %1: %2"_s.arg(targets[i].display.number).arg(*errors[i]));
            failed = true;
        }
    }
    // A failed redraw leaves the keys stale, so the tick tries again once the calendar allows it.
    if (failed)
        m_calendar.noteFailure();
    else
        m_record.setLook(overlay ? overlay->key : u"none"_s, WallpaperLook::of(currentUser()).key());
}

QCoro::Task<bool> RotationEngine::showPhoto(Medium photo, std::optional<QList<DisplayInfo>> displays)
{
    if (m_changing)
        co_return false;
    const Work work(this);
    const Busy busy(this);
    const QPointer<RotationEngine> self(this);
    const quint64 generation = m_generation;

    const std::optional<CalendarOverlay> overlay = currentOverlay();
    QList<Target> targets;
    for (const DisplayInfo& display : displays ? *displays : m_screens.displays())
        targets.append({photo, display});
    QCoro::Task<QList<std::optional<QString>>> applying = applyAll(targets, overlay);
    const QList<std::optional<QString>> errors = co_await std::move(applying);
    if (!self || self->m_generation != generation)
        co_return false;
    const std::optional<QString> error = noteShown(targets, errors);
    if (error) {
        setLastError(*error);
        m_log.error(u"show failed: "_s + *error);
        co_return false;
    }
    recordShown(photo, overlay);
    m_events.trackPhoto(u"wallpaper-set"_s, photo, {});
    co_return true;
}

QCoro::Task<std::optional<QString>> RotationEngine::testWallpaper(Medium photo, bool useCDN)
{
    const QList<DisplayInfo> displays = m_screens.displays();
    if (displays.isEmpty())
        co_return u"no display"_s;
    const Work work(this);
    QCoro::Task<QList<std::optional<QString>>> applying =
        applyAll({Target{std::move(photo), displays.first()}}, currentOverlay(), true, useCDN);
    const QList<std::optional<QString>> errors = co_await std::move(applying);
    co_return errors.constFirst();
}

// --- State --------------------------------------------------------------------------------------

void RotationEngine::reset()
{
    ++m_generation;
    m_pool.clear();
    setNowShowing(std::nullopt);
    m_showing.clear();
    m_record.clear();
}

std::optional<CalendarOverlay> RotationEngine::currentOverlay() const
{
    if (!canChange())
        return std::nullopt;
    const std::optional<CalendarSettings> settings = CalendarService::calendarSettings(m_account.user());
    if (!settings)
        return std::nullopt;
    return m_calendar.makeOverlay(*settings);
}

std::optional<User> RotationEngine::currentUser() const
{
    return m_account.user();
}

bool RotationEngine::canChange() const
{
    return m_account.isSignedIn() && m_account.user();
}

void RotationEngine::setNowShowing(std::optional<Medium> photo)
{
    if (m_nowShowing == photo)
        return;
    m_nowShowing = std::move(photo);
    emit nowShowingChanged();
}

void RotationEngine::setChanging(bool changing)
{
    if (m_changing == changing)
        return;
    m_changing = changing;
    emit isChangingChanged();
    if (!changing && m_displaysWaiting) {
        m_displaysWaiting = false;
        // After the caller of the change that just ended has taken its result.
        addRunning(1);
        QTimer::singleShot(0, this, [this] {
            addRunning(-1);
            if (m_loop)
                changeForDisplays();
        });
    }
}

void RotationEngine::setLastError(std::optional<QString> error)
{
    if (m_lastError == error)
        return;
    m_lastError = std::move(error);
    emit lastErrorChanged();
}

void RotationEngine::setFailing(bool failing)
{
    if (m_failing == failing)
        return;
    m_failing = failing;
    m_log.info(failing ? u"changes keep failing"_s : u"changes work again"_s);
    emit failureChanged();
}

void RotationEngine::addRunning(int delta)
{
    m_runningTasks += delta;
    // With the last piece of work over, nothing of a change's pictures is held any more: the
    // megabytes they took go back to the system rather than stay in the heap while the app idles.
    if (m_runningTasks == 0 && std::exchange(m_picturesFreed, false))
        ImagingThread::trim();
    emit runningTasksChanged();
}

void RotationEngine::spawn(QCoro::Task<void> task)
{
    // The returned task is dropped on purpose: settle is where it ends.
    settle(std::move(task));
}

QCoro::Task<void> RotationEngine::settle(QCoro::Task<void> task)
{
    try {
        co_await task;
    } catch (...) {
        AppLog(u"rotation"_s).error(u"rotation task failed: "_s + describe(std::current_exception()));
    }
}

QString RotationEngine::describe(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const WallpaperError& error) {
        return error.message();
    } catch (const APIError& error) {
        return error.userMessage();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return u"unknown error"_s;
    }
}

} // namespace lumi
