#include "state/SaverLauncher.h"

#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Clock.h"
#include "model/MediaPages.h"
#include "model/MediaQuery.h"
#include "model/PlaySettings.h"
#include "state/AppModel.h"
#include "state/CatalogPages.h"
#include "state/SaverPlayer.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int playlistPageSize = 500;
constexpr int fallbackPageSize = 60;
// Descriptions are fetched for at least a page of the browser's size.
constexpr int describedPageMinimum = 60;

// The playlists marked for the saver, else those marked for the wallpaper, in album order.
QList<Album> saverPlaylists(const QList<Album>& albums)
{
    QList<Album> saver;
    QList<Album> paper;
    for (const Album& album : albums) {
        if (album.includeInSaver == true)
            saver.append(album);
        if (album.includeInPaper == true)
            paper.append(album);
    }
    return saver.isEmpty() ? paper : saver;
}

QString poolKey(const QList<Album>& chosen, const std::optional<User>& user)
{
    QStringList ids;
    for (const Album& album : chosen)
        ids.append(QString::number(album.id));
    const QString updated = user ? user->playlistsUpdatedAt.value_or(QString()) : QString();
    return ids.join(u',') + u'|' + updated;
}

} // namespace

SaverLauncher::SaverLauncher(AppModel& model, CatalogPages& catalog, const Account& account, Clock& clock,
                             APIClient& api, const SyncScheduler& sync, SaverPlayer& player, QObject* parent)
    : QObject(parent), m_model(model), m_catalog(catalog), m_account(account), m_clock(clock), m_api(api),
      m_sync(sync), m_player(player)
{
    // The next account's saver never plays this one's photos.
    connect(&m_account, &Account::signedInChanged, this, [this] {
        if (!m_account.isSignedIn())
            m_saverPool.reset();
    });
}

SaverLauncher::~SaverLauncher() = default;

QString SaverLauncher::saverPoolKey() const
{
    return poolKey(saverPlaylists(m_account.albums()), m_account.user());
}

QCoro::Task<void> SaverLauncher::startSaverNow(std::optional<SaverEffect> effect)
{
    if (!m_account.isSignedIn() || m_player.isShowing())
        co_return;
    const AppModel::Session session = m_model.session();
    QList<Medium> media = co_await saverMedia();
    if (!session.isCurrent() || !m_account.isSignedIn())
        co_return;
    if (media.isEmpty()) {
        tellNothingToPlay();
        co_return;
    }
    m_toldNothingToPlay = false;
    const std::optional<SaverEffect> played =
        effect ? effect
               : SaverEffect::fromSetting(m_account.user() ? m_account.user()->saverShow : std::nullopt);
    m_player.startSaver(std::move(media), played, PlaySettings::forUser(m_account.user()));
}

QCoro::Task<QList<Medium>> SaverLauncher::saverMedia()
{
    const QList<Album> chosen = saverPlaylists(m_account.albums());
    const QString key = poolKey(chosen, m_account.user());
    if (m_saverPool && m_saverPool->key == key && !m_saverPool->media.isEmpty()) {
        // A clock set back makes no pool young again.
        const qint64 age = m_saverPool->fetchedAt.secsTo(m_clock.now());
        if (age >= 0 && age < saverPoolLifetime.count())
            co_return m_saverPool->media;
    }

    const AppModel::Session session = m_model.session();
    QList<Medium> listed;
    for (const Album& album : chosen) {
        const std::optional<QList<Medium>> page =
            co_await fetchSaverPage(MediaQuery::playlist(album, playlistPageSize));
        if (!session.isCurrent())
            co_return QList<Medium>();
        listed += page.value_or(QList<Medium>());
    }
    QList<Medium> media = MediaPages::unique(std::move(listed), MediaPages::catalogKey);
    if (!chosen.isEmpty())
        media += m_sync.saverFolderPhotos();
    if (media.isEmpty()) {
        const std::optional<QList<Medium>> latest =
            co_await fetchSaverPage(MediaQuery{.path = u"classic/latest"_s, .perPage = fallbackPageSize});
        if (!session.isCurrent())
            co_return QList<Medium>();
        media = latest.value_or(QList<Medium>());
    }
    // Nothing to play is no result to keep: the next start asks the server again. Meanwhile the
    // saver plays what the sync left on disk, as the rotation does.
    if (media.isEmpty()) {
        m_saverPool.reset();
        co_return m_sync.syncedSaverPhotos();
    }
    m_saverPool = SaverPool{key, m_clock.now(), media};
    co_return media;
}

void SaverLauncher::tellNothingToPlay()
{
    m_log.info(u"saver: no photos to play"_s);
    // Idle starts come again and again: the reason is worth one alert until a saver plays.
    if (m_toldNothingToPlay)
        return;
    m_toldNothingToPlay = true;
    m_model.setAlert(
        m_model.isOffline()
            ? tr("The screen saver has no photos to play: Lumivale can't be reached, and no photos "
                 "for it are on this computer yet.")
            : tr("The screen saver has no photos to play. Add photos to a playlist and use it for "
                 "the screen saver."));
}

QCoro::Task<std::optional<QList<Medium>>> SaverLauncher::fetchSaverPage(MediaQuery query)
{
    try {
        co_return co_await m_api.mediaPage(std::move(query));
    } catch (const std::exception&) {
        // A playlist that can't be read is skipped; the saver plays what the others give.
        co_return std::nullopt;
    }
}

QCoro::Task<void> SaverLauncher::playSlideshow(QList<Medium> media, int start, PlayMode mode,
                                               std::optional<QString> path, std::optional<QString> search,
                                               std::optional<PlaceQuery> place)
{
    const AppModel::Session session = m_model.session();
    const bool described = std::any_of(media.cbegin(), media.cend(),
                                       [](const Medium& photo) { return photo.description.has_value(); });
    if (!described) {
        const int perPage = std::max(int(media.size()), describedPageMinimum);
        const std::optional<QList<Medium>> fetched =
            co_await fetchDescribedMedia(perPage, std::move(path), std::move(search), std::move(place));
        if (!session.isCurrent())
            co_return;
        if (fetched) {
            QHash<QString, std::optional<QString>> descriptions;
            for (const Medium& photo : *fetched) {
                if (!descriptions.contains(photo.uuid))
                    descriptions.insert(photo.uuid, photo.description);
            }
            for (Medium& photo : media)
                photo.description = descriptions.value(photo.uuid);
        }
    }
    const int first = media.isEmpty() ? 0 : std::clamp(start, 0, int(media.size()) - 1);
    m_player.showGallery(std::move(media), first, mode, PlaySettings::forUser(m_account.user()));
}

QCoro::Task<std::optional<QList<Medium>>> SaverLauncher::fetchDescribedMedia(int perPage,
                                                                             std::optional<QString> path,
                                                                             std::optional<QString> search,
                                                                             std::optional<PlaceQuery> place)
{
    if (!place && !path)
        co_return std::nullopt;
    std::optional<QList<Medium>> media;
    try {
        if (place) {
            media = co_await m_catalog.fetchPlacesPage(std::move(*place), 1, perPage, true);
        } else {
            MediaQuery query{.path = std::move(*path),
                             .perPage = perPage,
                             .search = std::move(search),
                             .withDescription = true};
            media = co_await m_catalog.fetchMediaPage(std::move(query));
        }
    } catch (const std::exception&) {
        // The catalog has reported it already.
    }
    co_return media;
}

} // namespace lumi
