#pragma once

#include "model/AppLog.h"
#include "model/Medium.h"
#include "model/PlaceQuery.h"
#include "model/PlayMode.h"
#include "model/SaverEffect.h"

#include <QCoroTask>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

namespace lumi {

class APIClient;
class Account;
class AppModel;
class CatalogPages;
class Clock;
class SaverPlayer;
class SyncScheduler;
struct MediaQuery;

/// Starts the screen saver and the browser's slideshows: gathers the saver's photos (kept for a
/// while per choice of playlists) and hands them to the player. Main thread only; work of a session
/// that ended meanwhile is dropped, as the model drops its own.
class SaverLauncher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SaverLauncher)

public:
    /// Photos cached for the screen saver.
    struct SaverPool
    {
        QString key;
        QDateTime fetchedAt;
        QList<Medium> media;
    };

    static constexpr std::chrono::seconds saverPoolLifetime{21600};

    /// Everything outlives the launcher. The model numbers the sessions; the catalog fetches the
    /// described pages (reporting their failures).
    SaverLauncher(AppModel& model, CatalogPages& catalog, const Account& account, Clock& clock,
                  APIClient& api, const SyncScheduler& sync, SaverPlayer& player, QObject* parent = nullptr);
    ~SaverLauncher() override;

    /// Starts the saver on every screen unless signed out or something is already showing; a
    /// given effect replaces the user's choice. With no photos to play it says why, once until a
    /// saver plays.
    QCoro::Task<void> startSaverNow(std::optional<SaverEffect> effect);
    /// The saver's photos, kept for 6 hours per set of chosen playlists and playlist change; the
    /// synced ones on disk when the service gives none.
    QCoro::Task<QList<Medium>> saverMedia();
    /// "<chosen playlist ids, comma-separated>|<playlists_updated_at>".
    QString saverPoolKey() const;
    const std::optional<SaverPool>& saverPool() const { return m_saverPool; }
    void setSaverPool(std::optional<SaverPool> pool) { m_saverPool = std::move(pool); }
    /// The photo folders changed: the next start gathers anew.
    void resetSaverPool() { m_saverPool.reset(); }

    /// Opens the gallery on the browser's photos, fetching their descriptions first when none has one.
    QCoro::Task<void> playSlideshow(QList<Medium> media, int start, PlayMode mode,
                                    std::optional<QString> path, std::optional<QString> search,
                                    std::optional<PlaceQuery> place);
    /// Page 1 of the source with descriptions; none when nothing could be fetched.
    QCoro::Task<std::optional<QList<Medium>>> fetchDescribedMedia(int perPage, std::optional<QString> path,
                                                                  std::optional<QString> search,
                                                                  std::optional<PlaceQuery> place);

private:
    /// One page of a listing for the saver pool; none when it failed.
    QCoro::Task<std::optional<QList<Medium>>> fetchSaverPage(MediaQuery query);
    /// Says once why no saver started.
    void tellNothingToPlay();

    AppModel& m_model;
    CatalogPages& m_catalog;
    const Account& m_account;
    Clock& m_clock;
    APIClient& m_api;
    const SyncScheduler& m_sync;
    SaverPlayer& m_player;
    std::optional<SaverPool> m_saverPool;
    bool m_toldNothingToPlay = false;
    AppLog m_log{QStringLiteral("app")};
};

} // namespace lumi
