#include "browser/core/BrowserState.h"

#include "library/LocalPhotos.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Blanks.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/Graphemes.h"
#include "state/AppModel.h"
#include "state/CatalogPages.h"
#include "state/EventSink.h"
#include "state/Guidance.h"
#include "state/SaverLauncher.h"
#include "state/WindowPresenter.h"

#include <QJsonObject>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

std::optional<Source> albumSource(const std::optional<Album>& album)
{
    return album ? std::optional(Source{Source::Album{album->id}}) : std::nullopt;
}

} // namespace

BrowserState::BrowserState(Services services, QObject* parent)
    : QObject(parent), m_model(services.model), m_catalog(services.catalog), m_guidance(services.guidance),
      m_saver(services.saver), m_defaults(services.defaults), m_events(services.events),
      m_clock(services.clock), m_window(services.window), m_columns(GridColumns::stored(services.defaults))
{
    connect(&m_guidance, &Guidance::showTodayRequestedChanged, this, &BrowserState::showTodayRequest);
    connect(&m_guidance, &Guidance::showPlaceRequestedChanged, this, &BrowserState::showPlaceRequest);
    connect(&m_guidance, &Guidance::settingsRequestedChanged, this, &BrowserState::alertStepChanged);
    connect(&m_guidance, &Guidance::tourPreparingChanged, this, &BrowserState::tourPreparing);
    for (auto signal : {&Guidance::onboardingDueChanged, &Guidance::tourDueChanged,
                        &Guidance::surveyRequestedChanged, &Guidance::onboardingRequestedChanged})
        connect(&m_guidance, signal, this, &BrowserState::alertStepChanged);
    for (auto signal : {&AppModel::windowShownChanged, &AppModel::askLoginItemChanged})
        connect(&m_model, signal, this, &BrowserState::alertStepChanged);
    // Playlists that arrive after the mode was chosen (a start without the service) are shown.
    connect(&m_model.account(), &Account::albumsChanged, this, [this] {
        if (m_mode == BrowseMode::playlists && !m_selection)
            setSelection(defaultPlaylistSource());
    });
    showTodayRequest();
    showPlaceRequest();
    alertStepChanged();
}

BrowserState::~BrowserState()
{
    if (m_alertWait)
        m_alertWait->cancel();
}

void BrowserState::setSelection(std::optional<Source> selection)
{
    if (m_selection == selection)
        return;
    const auto isSearch = [](const std::optional<Source>& source) {
        return source && source->is<Source::Search>();
    };
    if (!isSearch(selection))
        m_beforeSearch.reset();
    else if (!isSearch(m_selection))
        m_beforeSearch = BeforeSearch{m_selection, m_mode};
    m_selection = std::move(selection);
    emit selectionChanged();
    selectionReaction();
}

void BrowserState::selectionReaction()
{
    setSelectedPhoto(std::nullopt);
    if (!m_selection)
        return;
    const Source& source = *m_selection;
    if (const Source::Places* places = source.as<Source::Places>()) {
        setMode(BrowseMode::places);
        m_lastPlaces = source;
        QJsonObject properties{{u"level"_s, u"all"_s}};
        if (places->query) {
            properties = {};
            for (const auto& [key, value] : places->query->eventProperties().asKeyValueRange())
                properties.insert(key, value);
        }
        track(u"places-opened"_s, properties);
    } else if (source.is<Source::Search>()) {
        setMode(BrowseMode::home);
    } else if (source.is<Source::Album>()) {
        setMode(BrowseMode::playlists);
        m_lastPlaylist = source;
        track(u"album-opened"_s, {{u"is-playlist"_s, true}});
        m_guidance.scheduleSurvey();
    } else {
        setMode(BrowseMode::home);
        m_lastHome = source;
        track(u"album-opened"_s, {{u"is-playlist"_s, false}});
    }
}

void BrowserState::setMode(BrowseMode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    emit modeChanged();
    // The places tree is loaded unless a recent one is held. The catalog reports a failed request;
    // the model's task ends whatever else goes wrong.
    if (mode == BrowseMode::places)
        m_model.spawn(m_catalog.loadPlaces(false));
}

void BrowserState::selectMode(BrowseMode mode, bool force)
{
    if (mode == m_mode && !force)
        return;
    setMode(mode);
    setSearchText(QString());
    switch (mode) {
    case BrowseMode::home:
        setSelection(m_lastHome);
        break;
    case BrowseMode::places:
        setSelection(m_lastPlaces);
        break;
    case BrowseMode::playlists: {
        std::optional<Source> playlist = m_lastPlaylist ? existingPlaylist(*m_lastPlaylist) : std::nullopt;
        setSelection(playlist ? playlist : defaultPlaylistSource());
        break;
    }
    }
}

void BrowserState::setSearchText(QString text)
{
    if (m_searchText == text)
        return;
    m_searchText = std::move(text);
    emit searchTextChanged();
}

void BrowserState::editSearchText(QString text)
{
    setSearchText(std::move(text));
    if (m_searchText.isEmpty())
        leaveSearch();
}

void BrowserState::submitSearch()
{
    const QString term = Blanks::trimmed(m_searchText);
    if (term.isEmpty()) {
        leaveSearch();
        return;
    }
    setSelection(Source{Source::Search{term}});
    // Characters as the user sees them: an accented letter or an emoji counts once.
    track(u"search"_s, {{u"query-length"_s, Graphemes::count(term)}});
}

void BrowserState::leaveSearch()
{
    if (!m_beforeSearch)
        return;
    const BeforeSearch before = *m_beforeSearch;
    // No source shown before: the mode alone decides what the content says.
    if (!before.source)
        setMode(before.mode);
    setSelection(before.source);
}

void BrowserState::setSelectedPhoto(std::optional<Medium> photo)
{
    if (m_selectedPhoto == photo)
        return;
    // Read when the gallery starts; nothing shows it.
    m_selectedPhoto = std::move(photo);
}

void BrowserState::setGridMedia(QList<Medium> media)
{
    if (m_gridMedia == media)
        return;
    m_gridMedia = std::move(media);
    emit gridMediaChanged();
}

void BrowserState::setColumns(GridColumns columns)
{
    if (m_columns == columns)
        return;
    m_columns = columns;
    columns.store(m_defaults);
    emit columnsChanged();
}

void BrowserState::setDropTarget(std::optional<qint64> albumId)
{
    if (m_dropTarget == albumId)
        return;
    m_dropTarget = albumId;
    emit dropTargetChanged();
}

std::optional<Source> BrowserState::defaultPlaylistSource() const
{
    if (std::optional<Source> favorites = albumSource(m_model.favoritesAlbum()))
        return favorites;
    const QList<Album> playlists = m_model.playlists();
    return playlists.isEmpty() ? std::nullopt : albumSource(playlists.first());
}

std::optional<Source> BrowserState::existingPlaylist(const Source& source) const
{
    const Source::Album* album = source.as<Source::Album>();
    if (!album)
        return std::nullopt;
    for (const Album& held : m_model.account().albums()) {
        if (held.id == album->id)
            return source;
    }
    return std::nullopt;
}

QString BrowserState::title(const std::optional<Source>& source) const
{
    if (!source)
        return u"Lumivale"_s;
    if (const Source::Category* category = source->as<Source::Category>())
        return category->title;
    if (const Source::Album* album = source->as<Source::Album>()) {
        for (const Album& held : m_model.account().albums()) {
            if (held.id == album->id)
                return held.title;
        }
        return tr("Playlist");
    }
    if (const Source::Search* search = source->as<Source::Search>())
        return tr("Search: “%1”").arg(search->term);
    if (const Source::Places* places = source->as<Source::Places>())
        return places->query ? placeTitle(*places->query).value_or(tr("Places")) : tr("Places");
    return tr("Today");
}

std::optional<QString> BrowserState::sourcePath() const
{
    if (!m_selection)
        return std::nullopt;
    if (const Source::Category* category = m_selection->as<Source::Category>())
        return category->path;
    if (const Source::Album* album = m_selection->as<Source::Album>()) {
        for (const Album& held : m_model.account().albums()) {
            if (held.id == album->id)
                return u"playlists/"_s + held.titleFragment;
        }
        return std::nullopt;
    }
    if (m_selection->is<Source::Search>())
        return Source::latest().as<Source::Category>()->path;
    if (m_selection->is<Source::Today>())
        return u"today"_s;
    return std::nullopt;
}

std::optional<QString> BrowserState::placeTitle(const PlaceQuery& query) const
{
    const std::optional<PlacesTree>& tree = m_catalog.placesTree();
    if (!tree)
        return std::nullopt;
    if (query.place) {
        const std::optional<PlacesTree::PlaceMatch> match = tree->place(*query.place);
        return match ? std::optional(match->place.name) : std::nullopt;
    }
    if (!query.country)
        return std::nullopt;
    if (!query.region) {
        const std::optional<CountryNode> country = tree->country(*query.country);
        return country ? std::optional(country->name) : std::nullopt;
    }
    const std::optional<RegionNode> region = tree->region(*query.country, *query.region);
    return region ? std::optional(region->name) : std::nullopt;
}

std::optional<QString> BrowserState::selectedCountrySlug() const
{
    const Source::Places* places = m_selection ? m_selection->as<Source::Places>() : nullptr;
    if (!places || !places->query)
        return std::nullopt;
    const PlaceQuery& query = *places->query;
    if (!query.place)
        return query.country;
    // A place is found in the tree; the query's own country is not trusted for it.
    const std::optional<PlacesTree>& tree = m_catalog.placesTree();
    const std::optional<PlacesTree::PlaceMatch> match = tree ? tree->place(*query.place) : std::nullopt;
    return match ? std::optional(match->country.slug) : std::nullopt;
}

void BrowserState::play(PlayMode mode, std::optional<Medium> photo)
{
    if (mode.kind() != PlayMode::Kind::saver)
        m_defaults.set(keys::galleryInfoShow, mode.kind() == PlayMode::Kind::infoshow);
    const std::optional<Medium> start = photo ? photo : m_selectedPhoto;
    int index = 0;
    if (start) {
        const auto found =
            std::find_if(m_gridMedia.cbegin(), m_gridMedia.cend(),
                         [&start](const Medium& medium) { return medium.uuid == start->uuid; });
        index = found == m_gridMedia.cend() ? 0 : int(found - m_gridMedia.cbegin());
    }
    const Source::Search* search = m_selection ? m_selection->as<Source::Search>() : nullptr;
    const Source::Places* places = m_selection ? m_selection->as<Source::Places>() : nullptr;
    // The model reports a failure of the description fetch itself.
    m_model.spawn(m_saver.playSlideshow(m_gridMedia, index, mode, sourcePath(),
                                        search ? std::optional(search->term) : std::nullopt,
                                        places ? places->query : std::nullopt));
}

void BrowserState::playAsLast(std::optional<Medium> photo)
{
    play(m_defaults.get(keys::galleryInfoShow) ? PlayMode::infoshow() : PlayMode::slideshow(),
         std::move(photo));
}

void BrowserState::leavePlaylist(const Album& album)
{
    const Source source{Source::Album{album.id}};
    if (m_lastPlaylist == source)
        m_lastPlaylist.reset();
    if (m_selection != source)
        return;
    // The playlists as listed still hold the one that goes; the view must leave it.
    std::optional<Source> fallback = albumSource(m_model.favoritesAlbum());
    if (!fallback) {
        for (const Album& playlist : m_model.playlists()) {
            if (playlist.id != album.id) {
                fallback = albumSource(playlist);
                break;
            }
        }
    }
    setSelection(fallback);
}

void BrowserState::showTodayRequest()
{
    if (!m_guidance.showTodayRequested())
        return;
    setSelection(Source{Source::Today{}});
    m_guidance.setShowTodayRequested(false);
}

void BrowserState::showPlaceRequest()
{
    const std::optional<PlaceQuery> place = m_guidance.showPlaceRequested();
    if (!place)
        return;
    setSelection(Source{Source::Places{place}});
    m_guidance.setShowPlaceRequested(std::nullopt);
}

void BrowserState::tourPreparing()
{
    const std::optional<int> step = m_guidance.tourPreparing();
    if (step == 0 || step == 1) {
        if (m_mode != BrowseMode::home || m_gridMedia.isEmpty())
            selectMode(BrowseMode::home, true);
    } else if (step == 2) {
        selectMode(BrowseMode::playlists, false);
    }
}

BrowserState::AlertStep BrowserState::alertStep() const
{
    const bool free = !m_model.askLoginItem() && !m_guidance.settingsRequested() &&
                      !m_guidance.surveyRequested() && !m_guidance.onboardingRequested();
    return {m_guidance.onboardingDue(), m_guidance.tourDue(), m_model.windowShown(), free};
}

void BrowserState::alertStepChanged()
{
    const AlertStep step = alertStep();
    if (m_alertStep == step)
        return;
    m_alertStep = step;
    if (m_alertWait)
        m_alertWait->cancel();
    m_alertWait.reset();
    if (!step.onboarding && !step.tour)
        return;
    m_alertWait = CancelToken();
    // Not counted as work: the browser waiting to offer is no task under way.
    m_model.spawn(offerAfterDelay(*m_alertWait), false);
}

QCoro::Task<void> BrowserState::offerAfterDelay(CancelToken cancel)
{
    QPointer<BrowserState> self(this);
    const bool elapsed = co_await m_clock.sleep(alertDelay, cancel);
    if (!elapsed || !self || cancel.isCancelled())
        co_return;
    if (!m_window.isMainWindowVisible() || !alertStep().free)
        co_return;
    if (m_guidance.onboardingDue())
        m_guidance.requestOnboarding();
    else if (m_guidance.tourDue())
        m_guidance.startTour(true);
}

void BrowserState::track(const QString& name, QJsonObject properties)
{
    m_events.track(name, std::move(properties));
}

} // namespace lumi
