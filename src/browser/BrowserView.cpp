#include "browser/BrowserView.h"

#include "browser/BrowserToolbar.h"
#include "browser/EmptyContent.h"
#include "browser/GridServices.h"
#include "browser/MembershipMark.h"
#include "browser/NoticeToast.h"
#include "browser/PhotoGrid.h"
#include "browser/PlaylistSheets.h"
#include "browser/SidebarList.h"
#include "browser/ThumbnailLoader.h"
#include "browser/core/BrowserState.h"
#include "imaging/BundledFonts.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "sheets/CatalogPhotoSheets.h"
#include "sheets/PlacesView.h"
#include "state/AppModel.h"
#include "state/CatalogPages.h"
#include "widgets/AlertBanner.h"
#include "widgets/Palette.h"
#include "widgets/SymbolIcon.h"
#include "widgets/TourAnchor.h"

#include <QLabel>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int sidebarMinimum = 210;
constexpr int sidebarStart = 240;
constexpr int sidebarMaximum = 320;

} // namespace

BrowserView::BrowserView(AppModel& model, WindowPresenter& window, BrowserServices services, QWidget* parent)
    : QWidget(parent), m_model(model), m_services(services),
      m_thumbnails(std::make_unique<ThumbnailLoader>(model.api().network())),
      m_photoSheets(
          std::make_unique<CatalogPhotoSheets>(model, services.screens, services.defaults, services.links)),
      m_state(new BrowserState(BrowserState::Services{.model = model,
                                                      .catalog = services.catalog,
                                                      .guidance = services.guidance,
                                                      .saver = services.saver,
                                                      .defaults = services.defaults,
                                                      .events = services.events,
                                                      .clock = services.clock,
                                                      .window = window},
                               this)),
      m_sheets(new PlaylistSheets(*this, *m_state, model, services.playlists)),
      m_toolbar(new BrowserToolbar(*m_state, model, services.guidance, services.saver, services.rotation,
                                   window, this)),
      m_splitter(new QSplitter(Qt::Horizontal, this))
{
    setObjectName(u"browser"_s);
    QWidget* sidebar = makeSidebar();
    auto* detail = new QWidget(m_splitter);
    detail->setObjectName(u"browser.detail"_s);
    m_detail = new QVBoxLayout(detail);
    m_detail->setContentsMargins(0, 0, 0, 0);
    m_detail->setSpacing(0);
    m_detail->addWidget(new AlertBanner(model, detail));
    new NoticeToast(m_services.guidance, *detail);

    m_splitter->addWidget(sidebar);
    m_splitter->addWidget(detail);
    m_splitter->setCollapsible(0, false);
    m_splitter->setCollapsible(1, false);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({sidebarStart, 1000});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_splitter, 1);

    connect(m_state, &BrowserState::selectionChanged, this, &BrowserView::showContent);
    connect(m_state, &BrowserState::modeChanged, this, [this] {
        m_legend->setVisible(m_state->mode() == BrowseMode::playlists);
        // Without a selection the empty view depends on the mode.
        if (!m_state->selection())
            showContent();
    });
    // The view without a playlist says whether there are none or they haven't come yet.
    const auto showNoPlaylist = [this] {
        if (!m_state->selection() && m_state->mode() == BrowseMode::playlists)
            showContent();
    };
    connect(&model.account(), &Account::albumsLoadedChanged, this, showNoPlaylist);
    connect(&model.account(), &Account::albumsChanged, this, showNoPlaylist);
    connect(&model, &AppModel::offlineChanged, this, showNoPlaylist);
    connect(m_state, &BrowserState::selectionChanged, this, &BrowserView::showTitle);
    connect(&model.account(), &Account::albumsChanged, this, &BrowserView::showTitle);
    connect(&services.catalog, &CatalogPages::placesTreeChanged, this, &BrowserView::showTitle);
    showContent();
}

BrowserView::~BrowserView()
{
    // The tiles of the grids cancel their thumbnails and hand their pictures back as they go: they
    // go while the loader and the sheets they hold are still there.
    delete m_splitter;
}

QWidget* BrowserView::makeSidebar()
{
    auto* column = new QWidget(m_splitter);
    column->setObjectName(u"browser.sidebar"_s);
    column->setMinimumWidth(sidebarMinimum);
    column->setMaximumWidth(sidebarMaximum);
    auto* list = new SidebarList(*m_state, m_model, m_services.catalog,
                                 SidebarServices{.errors = m_model,
                                                 .playlists = m_services.playlists,
                                                 .guidance = m_services.guidance,
                                                 .sync = m_services.sync,
                                                 .revealer = m_services.revealer,
                                                 .defaults = m_services.defaults});
    connect(list, &SidebarList::newPlaylistRequested, m_sheets, &PlaylistSheets::newPlaylist);
    connect(list, &SidebarList::renameRequested, m_sheets, &PlaylistSheets::rename);
    connect(list, &SidebarList::deleteRequested, m_sheets, &PlaylistSheets::confirmDelete);
    auto* scroll = new QScrollArea(column);
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(scroll, 1);
    m_legend = makeLegend();
    m_legend->setVisible(m_state->mode() == BrowseMode::playlists);
    layout->addWidget(m_legend);
    new TourAnchor(m_services.guidance, *column, 0, TourAnchor::Edge::trailing);
    return column;
}

QWidget* BrowserView::makeLegend()
{
    auto* legend = new QWidget;
    legend->setObjectName(u"browser.legend"_s);
    const QFont font = BundledFonts::font(12, QFont::Normal);
    auto line = [&](const QString& text) {
        auto* label = new QLabel(text, legend);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFont(font);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Palette::muted());
        label->setPalette(palette);
        return label;
    };
    auto symbolLine = [&](MembershipMark::Kind kind, const QString& text) {
        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        QLabel* symbol = line(QString());
        symbol->setPixmap(MembershipMark::symbol(kind, true, Palette::muted(), 12, devicePixelRatioF()));
        row->addWidget(symbol);
        row->addWidget(line(text), 1);
        return row;
    };
    auto* layout = new QVBoxLayout(legend);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(4);
    QLabel* hint = line(tr("Drag photos onto a playlist to add them."));
    hint->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(hint);
    layout->addLayout(symbolLine(MembershipMark::Kind::wallpaper, tr("In Wallpaper Rotation")));
    layout->addLayout(symbolLine(MembershipMark::Kind::saver, tr("In Screen Saver")));
    return legend;
}

void BrowserView::showContent()
{
    // The places view stays from one level to the next; only its level and grid change.
    const std::optional<Source>& shown = m_state->selection();
    const Source::Places* level = shown ? shown->as<Source::Places>() : nullptr;
    if (auto* places = qobject_cast<PlacesView*>(m_content.data()); places && level) {
        m_state->setGridMedia({});
        places->setQuery(level->query);
        return;
    }
    if (m_content) {
        m_content->hide();
        m_content->deleteLater();
    }
    m_state->setGridMedia({});
    QWidget* content = nullptr;
    if (const std::optional<Source>& selection = m_state->selection()) {
        const Source::Places* places = selection->as<Source::Places>();
        content = places ? makePlaces(places->query) : makeGrid(*selection);
    } else if (m_state->mode() == BrowseMode::playlists) {
        content = makeNoPlaylist();
    } else {
        content = new EmptyContent(SymbolIcon::themed(u"image-x-generic"_s, u"photo"_s),
                                   tr("Pick a collection"), QString());
    }
    content->setObjectName(u"browser.content"_s);
    m_detail->addWidget(content, 1);
    m_content = content;
    auto* anchor = new TourAnchor(m_services.guidance, *content, 1, TourAnchor::Edge::top,
                                  m_state->gridMedia().isEmpty());
    connect(m_state, &BrowserState::gridMediaChanged, anchor,
            [this, anchor] { anchor->setActive(m_state->gridMedia().isEmpty()); });
}

QWidget* BrowserView::makeNoPlaylist()
{
    const QIcon symbol = SymbolIcon::themed(u"view-list-details"_s, u"list.bullet"_s);
    if (m_model.account().albumsLoaded()) {
        auto* empty = new EmptyContent(symbol, tr("No playlists yet"), tr("New Playlist…"));
        connect(empty, &EmptyContent::actionClicked, m_sheets, &PlaylistSheets::newPlaylist);
        return empty;
    }
    // Playlists not loaded yet are not "none".
    if (!m_model.isOffline())
        return new EmptyContent(symbol, tr("Loading your playlists…"), QString());
    auto* offline = new EmptyContent(symbol, tr("Couldn't load your playlists"), QString());
    offline->setDescription(tr("Can't reach Lumivale. Your playlists appear here once it answers."));
    return offline;
}

QWidget* BrowserView::makeGrid(const Source& source)
{
    auto* grid = new PhotoGrid(GridServices{.model = m_model,
                                            .catalog = m_services.catalog,
                                            .playlists = m_services.playlists,
                                            .guidance = m_services.guidance,
                                            .defaults = m_services.defaults,
                                            .screens = m_services.screens,
                                            .links = m_services.links,
                                            .revealer = m_services.revealer,
                                            .sheets = *m_photoSheets,
                                            .thumbnails = *m_thumbnails,
                                            .clock = m_services.clock},
                               source, m_state->columns());
    connect(grid, &PhotoGrid::mediaChanged, m_state, [this, grid] { m_state->setGridMedia(grid->media()); });
    connect(grid, &PhotoGrid::selectedChanged, m_state,
            [this, grid] { m_state->setSelectedPhoto(grid->selected()); });
    connect(m_state, &BrowserState::columnsChanged, grid,
            [this, grid] { grid->setColumns(m_state->columns()); });
    // A double-click or Return plays the grid's photos from that one, as the gallery was last played.
    connect(grid, &PhotoGrid::playRequested, m_state,
            [this](const Medium& photo) { m_state->playAsLast(photo); });
    connect(grid, &PhotoGrid::newPlaylistRequested, m_sheets, &PlaylistSheets::newPlaylistFor);
    return grid;
}

QWidget* BrowserView::makePlaces(const std::optional<PlaceQuery>& query)
{
    return new PlacesView(
        m_model, m_services.catalog, query,
        [this](std::optional<PlaceQuery> opened) { m_state->setSelection(Source{Source::Places{opened}}); },
        [this](const PlaceQuery& level, QWidget* parent) {
            QWidget* grid = makeGrid(Source{Source::Places{level}});
            grid->setParent(parent);
            return grid;
        },
        [this] { m_state->setGridMedia({}); });
}

void BrowserView::showTitle()
{
    // A browser on its way out (signed out) leaves the window's title alone; a hidden one names it
    // when it shows again.
    if (isVisible())
        window()->setWindowTitle(m_state->title());
}

void BrowserView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    showTitle();
}

} // namespace lumi
