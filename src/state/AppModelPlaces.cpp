#include "state/AppModel.h"

#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "model/Clock.h"
#include "state/WallpaperRotation.h"

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString playlistsPrefix = u"playlists/"_s;

bool isPlaylistNameCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z') ||
           (code >= u'0' && code <= u'9') || code == u' ' || code == u'-' || code == u'\'';
}

// Accepted when nothing is lost to the filter and something is left.
bool isAcceptedPlaylistName(const QString& trimmed)
{
    return !trimmed.isEmpty() && AppModel::trimBlanks(AppModel::filterPlaylistName(trimmed)) == trimmed;
}

bool isBlank(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

} // namespace

QCoro::Task<void> AppModel::loadPlaces(bool force)
{
    if (!force && m_placesTree && !hasAgedBeyond(m_placesLoadedAt, placesAgeLimit))
        co_return;
    const Session session = this->session();
    try {
        APIRequest call{u"GET"_s, u"places"_s, {}, std::nullopt, true, {}};
        PlacesTree tree = co_await m_api.request<PlacesTree>(std::move(call));
        if (!session.isCurrent())
            co_return;
        setPlacesTree(std::move(tree));
        m_placesLoadedAt = m_clock.bootTime();
        setPlacesFailed(false);
    } catch (const std::exception& error) {
        if (session.isCurrent()) {
            // An older tree stays shown.
            setPlacesFailed(!m_placesTree);
            handleError(error, true);
        }
    }
}

QCoro::Task<QList<Medium>> AppModel::fetchMediaPage(QString path, int page, int perPage,
                                                    std::optional<QString> search, bool withDescription)
{
    const Session session = this->session();
    QMap<QString, QString> query{{u"page"_s, QString::number(page)},
                                 {u"per_page"_s, QString::number(perPage)}};
    if (search && !search->isEmpty())
        query.insert(u"search"_s, *search);
    if (withDescription)
        query.insert(u"with_description"_s, u"true"_s);
    QList<Medium> media;
    try {
        APIRequest call{u"GET"_s, u"media/"_s + path, query, std::nullopt, true, {}};
        media = (co_await m_api.request<MediaResponse>(std::move(call))).media.value_or(QList<Medium>());
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, true);
        throw;
    }
    // A page asked for by an ended session has no place in the next one.
    if (!session.isCurrent())
        co_return QList<Medium>();
    setOffline(false);

    const bool playlistPath = path.startsWith(playlistsPrefix);
    // Local photos come with the last page of a plain playlist listing, all at once.
    if (playlistPath && !search && media.size() < perPage) {
        for (const Album& album : std::as_const(m_albums)) {
            if (playlistsPrefix + album.titleFragment == path) {
                media += m_sync.albumMedia(album);
                break;
            }
        }
    }
    if (media.isEmpty() && page == 1 && !search && !playlistPath)
        refreshUserIfStale();
    co_return media;
}

void AppModel::resetPhotoPools()
{
    m_rotation.setPoolKey(QString());
    m_saverPool.reset();
}

QCoro::Task<std::optional<Album>> AppModel::createPlaylist(QString name)
{
    const QString trimmed = trimBlanks(name);
    if (!isAcceptedPlaylistName(trimmed)) {
        setAlert(playlistNameMessage());
        co_return std::nullopt;
    }
    const Session session = this->session();
    std::optional<Album> created;
    try {
        created = co_await m_api.createAlbum(trimmed, QString());
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, false);
    }
    if (!created || !session.isCurrent())
        co_return std::nullopt;
    co_await reloadAlbums(true);
    if (!session.isCurrent())
        co_return std::nullopt;
    for (const Album& album : std::as_const(m_albums)) {
        if (album.id == created->id)
            co_return album;
    }
    co_return std::nullopt;
}

QCoro::Task<void> AppModel::renamePlaylist(Album album, QString newName)
{
    const QString trimmed = trimBlanks(newName);
    if (trimmed == album.title)
        co_return;
    if (trimBlanks(filterPlaylistName(trimmed)) != trimmed) {
        setAlert(playlistNameMessage());
        co_return;
    }
    if (trimmed.isEmpty())
        co_return;
    const Session session = this->session();
    bool renamed = false;
    try {
        co_await m_api.updateAlbum(album, trimmed, std::nullopt);
        renamed = true;
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, false);
    }
    if (renamed && session.isCurrent())
        co_await reloadAlbums(true);
}

QString AppModel::filterPlaylistName(QStringView name)
{
    QString kept;
    for (const QChar c : name) {
        if (isPlaylistNameCharacter(c))
            kept.append(c);
    }
    return kept;
}

QString AppModel::trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin).toString();
}

QString AppModel::playlistNameMessage()
{
    return tr("Playlist names can use letters, numbers, spaces, - and '.");
}

} // namespace lumi
