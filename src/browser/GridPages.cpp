#include "browser/GridPages.h"

#include "model/Account.h"
#include "state/CatalogPages.h"

#include <QPointer>
#include <QSet>

using namespace Qt::StringLiterals;

namespace lumi {

GridPages::GridPages(const Account& account, CatalogPages& catalog, Source source, QObject* parent)
    : QObject(parent), m_account(account), m_catalog(catalog), m_source(std::move(source))
{
}

std::optional<Album> GridPages::album() const
{
    const Source::Album* playlist = m_source.as<Source::Album>();
    if (!playlist)
        return std::nullopt;
    for (const Album& album : m_account.albums()) {
        if (album.id == playlist->id)
            return album;
    }
    return std::nullopt;
}

std::optional<MediaQuery> GridPages::query() const
{
    MediaQuery query{.page = m_page, .perPage = pageSize};
    if (m_source.is<Source::Today>()) {
        query.path = u"today"_s;
    } else if (const Source::Category* category = m_source.as<Source::Category>()) {
        query.path = category->path;
    } else if (const Source::Search* search = m_source.as<Source::Search>()) {
        query.path = u"classic/latest"_s;
        query.search = search->term;
    } else if (m_source.is<Source::Album>()) {
        const std::optional<Album> playlist = album();
        if (!playlist)
            return std::nullopt;
        query.path = MediaQuery::playlistPath(playlist->titleFragment);
    } else if (const Source::Places* places = m_source.as<Source::Places>()) {
        if (!places->query)
            return std::nullopt;
        query.place = places->query;
    }
    return query;
}

QCoro::Task<void> GridPages::loadPage()
{
    if (m_loading || m_exhausted)
        co_return;
    const std::optional<MediaQuery> request = query();
    m_loading = true;
    m_failed = false;
    emit stateChanged();
    if (!request) {
        m_loading = false;
        emit stateChanged();
        co_return;
    }
    const QPointer<GridPages> self(this);
    std::optional<QList<Medium>> answer;
    try {
        if (request->place)
            answer = co_await m_catalog.fetchPlacesPage(*request->place, request->page, request->perPage,
                                                        request->withDescription);
        else
            answer = co_await m_catalog.fetchMediaPage(*request);
    } catch (const std::exception&) {
        // The catalog has reported it, quietly.
    }
    if (!self)
        co_return;
    if (answer)
        append(*answer);
    else
        m_failed = m_media.isEmpty();
    m_loading = false;
    emit stateChanged();
}

void GridPages::append(const QList<Medium>& answer)
{
    QSet<QString> shown;
    for (const Medium& photo : std::as_const(m_media))
        shown.insert(photo.uuid);
    qsizetype served = 0;
    bool added = false;
    for (const Medium& photo : answer) {
        // The model adds a linked folder's photos to every short playlist page: they say nothing
        // about whether the service has more.
        if (!photo.localPath)
            ++served;
        if (!shown.contains(photo.uuid)) {
            m_media.append(photo);
            added = true;
        }
    }
    m_exhausted = served < pageSize || m_source.is<Source::Today>();
    ++m_page;
    if (added)
        emit mediaChanged();
}

QCoro::Task<void> GridPages::restart()
{
    const bool hadMedia = !m_media.isEmpty();
    m_media.clear();
    m_page = 1;
    m_exhausted = false;
    if (hadMedia)
        emit mediaChanged();
    co_await loadPage();
}

void GridPages::remove(const QString& uuid)
{
    if (m_media.removeIf([&](const Medium& photo) { return photo.uuid == uuid; }) > 0)
        emit mediaChanged();
}

} // namespace lumi
