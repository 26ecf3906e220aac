#include "sheets/PlacesView.h"

#include "imaging/BundledFonts.h"
#include "model/APIClient.h"
#include "sheets/CardGrid.h"
#include "sheets/CardStrip.h"
#include "sheets/SheetText.h"
#include "sheets/Symbol.h"
#include "state/AppModel.h"
#include "state/CatalogPages.h"
#include "widgets/Palette.h"
#include "widgets/ViewTask.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString placePrefix = u"p-"_s;
const QString regionPrefix = u"r-"_s;

Card placeCard(const PlaceNode& place, bool starred)
{
    return Card{placePrefix + place.slug, place.name, place.photos, place.cover, starred, std::nullopt};
}

QPushButton* linkButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(BundledFonts::font(14, QFont::Normal));
    button->setStyleSheet(
        u"QPushButton { border: none; padding: 0; color: %1; }"_s.arg(Palette::muted().name()));
    return button;
}

} // namespace

PlacesView::PlacesView(AppModel& model, CatalogPages& catalog, std::optional<PlaceQuery> query, Open open,
                       GridFactory grid, std::function<void()> clearMedia, QWidget* parent)
    : QWidget(parent), m_model(model), m_catalog(catalog), m_query(std::move(query)), m_open(std::move(open)),
      m_grid(std::move(grid)), m_clearMedia(std::move(clearMedia))
{
    setObjectName(u"places"_s);
    setAutoFillBackground(true);
    QPalette white = Palette::widgets();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    m_pages = new QStackedLayout(this);
    m_pages->addWidget(makeLoading());
    connect(&m_catalog, &CatalogPages::placesTreeChanged, this, &PlacesView::refresh);
    connect(&m_catalog, &CatalogPages::placesFailedChanged, this, &PlacesView::refresh);
    // Places that failed for want of the service load by themselves once it answers.
    connect(&m_model, &AppModel::offlineChanged, this, [this] {
        if (m_state != State::failed)
            return;
        if (m_model.isOffline())
            present(State::failed, makeFailure());
        else
            ViewTask::start(m_model, m_catalog.loadPlaces(true));
    });
    refresh();
}

std::optional<PlacesView::Node> PlacesView::node(const PlaceQuery& query, const PlacesTree& tree)
{
    if (query.place) {
        if (const std::optional<PlacesTree::PlaceMatch> match = tree.place(*query.place)) {
            const QString country = match->country.slug;
            return Node{match->place.name,
                        {Step{match->country.name, PlaceQuery{country, std::nullopt, std::nullopt}},
                         Step{match->region.name, PlaceQuery{country, match->region.slug, std::nullopt}},
                         Step{match->place.name, std::nullopt}},
                        {}};
        }
    }
    if (!query.country)
        return std::nullopt;
    const std::optional<CountryNode> country = tree.country(*query.country);
    if (!country)
        return std::nullopt;
    if (query.region) {
        if (const std::optional<RegionNode> region = tree.region(*query.country, *query.region)) {
            QList<Card> places;
            for (const PlaceNode& place : region->places)
                places.append(placeCard(place, true));
            return Node{region->name,
                        {Step{country->name, PlaceQuery{*query.country, std::nullopt, std::nullopt}},
                         Step{region->name, std::nullopt}},
                        places};
        }
    }
    QList<Card> regions;
    for (const RegionNode& region : country->regions)
        regions.append(Card{regionPrefix + *query.country + u'/' + region.slug, region.name, region.photos,
                            region.cover, false, region.stateCode});
    return Node{country->name, {Step{country->name, std::nullopt}}, regions};
}

std::optional<PlaceQuery> PlacesView::query(const QString& cardID)
{
    const QString prefix = cardID.left(2);
    const QString rest = cardID.mid(2);
    if (prefix == placePrefix)
        return PlaceQuery{std::nullopt, std::nullopt, rest};
    if (prefix != regionPrefix)
        return std::nullopt;
    const qsizetype slash = rest.indexOf(u'/');
    QStringList pieces = slash < 0 ? QStringList{rest} : QStringList{rest.left(slash), rest.mid(slash + 1)};
    pieces.removeAll(QString());
    if (pieces.size() != 2)
        return std::nullopt;
    return PlaceQuery{pieces[0], pieces[1], std::nullopt};
}

QList<Card> PlacesView::homeCards(const PlacesTree& tree)
{
    QList<Card> cards;
    for (const PlaceNode& place : tree.featured)
        cards.append(placeCard(place, false));
    return cards;
}

void PlacesView::setQuery(std::optional<PlaceQuery> query)
{
    if (m_query == query)
        return;
    m_query = std::move(query);
    if (m_levelGrid) {
        m_levelGrid->hide();
        m_levelGrid->deleteLater();
        m_levelGrid = nullptr;
    }
    m_shownNode.reset();
    refresh();
}

void PlacesView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Reloads only a missing or old tree; a failure is the model's to report.
    ViewTask::start(m_model, m_catalog.loadPlaces(false));
    if (m_state == State::home && m_clearMedia)
        m_clearMedia();
}

void PlacesView::refresh()
{
    if (const std::optional<PlacesTree>& tree = m_catalog.placesTree()) {
        // A query that names nothing in the tree (a stale slug) shows the home.
        const std::optional<Node> level = m_query ? node(*m_query, *tree) : std::nullopt;
        if (!level) {
            present(State::home, makeHome(*tree));
        } else if (m_state != State::level || m_shownNode != level) {
            m_shownNode = level;
            present(State::level, makeLevel(*level));
        }
        return;
    }
    if (m_catalog.placesFailed()) {
        if (m_state != State::failed)
            present(State::failed, makeFailure());
    } else if (m_state != State::loading) {
        present(State::loading, makeLoading());
    }
}

void PlacesView::present(State state, QWidget* page)
{
    if (QWidget* old = m_pages->currentWidget()) {
        m_pages->removeWidget(old);
        // A click inside it may be what led here.
        old->hide();
        old->deleteLater();
    }
    m_pages->addWidget(page);
    m_pages->setCurrentWidget(page);
    m_state = state;
    if (state == State::home && m_clearMedia && isVisible())
        m_clearMedia();
}

QWidget* PlacesView::makeLoading()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(SheetText::busy(u"places.loading"_s, 120, page), 0, Qt::AlignCenter);
    return page;
}

QWidget* PlacesView::makeFailure()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(12);
    layout->addStretch();
    auto* symbol = new QLabel(page);
    symbol->setPixmap(
        Symbol::pixmap(Symbol::Kind::wifiExclamation, 40, Palette::muted(), devicePixelRatioF()));
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    QLabel* label = SheetText::label(tr("Couldn't load places"), 18, Palette::dark(), page);
    label->setObjectName(u"places.failure"_s);
    layout->addWidget(label, 0, Qt::AlignHCenter);
    if (m_model.isOffline()) {
        QLabel* offline = SheetText::label(
            tr("Can't reach Lumivale. The places appear here once it answers."), 14, Palette::muted(), page);
        offline->setObjectName(u"places.offline"_s);
        layout->addWidget(offline, 0, Qt::AlignHCenter);
    }
    auto* retry = new QPushButton(tr("Try Again"), page);
    retry->setObjectName(u"places.retry"_s);
    // Runs to its end even when the view goes away.
    connect(retry, &QPushButton::clicked, this,
            [this] { ViewTask::start(m_model, m_catalog.loadPlaces(true)); });
    layout->addWidget(retry, 0, Qt::AlignHCenter);
    layout->addStretch();
    return page;
}

QWidget* PlacesView::makeHome(const PlacesTree& tree)
{
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(u"places.home"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(scroll);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(22, 22, 22, 22);
    column->setSpacing(18);
    column->addWidget(SheetText::label(tr("Featured Places"), 18, Palette::dark(), content));
    column->addWidget(new CardGrid(
        homeCards(tree), [this](const Card& card) { openCard(card); }, m_model.api().network(), *scroll,
        content));
    column->addStretch();
    scroll->setWidget(content);
    return scroll;
}

QWidget* PlacesView::makeLevel(const Node& node)
{
    auto* page = new QWidget(this);
    page->setObjectName(u"places.level"_s);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QWidget(page);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(22, 16, 22, 4);
    headerLayout->setSpacing(12);
    headerLayout->addWidget(makeTrail(node, header));
    if (!node.children.isEmpty())
        headerLayout->addWidget(new CardStrip(
            node.children, [this](const Card& card) { openCard(card); }, m_model.api().network(), header));
    layout->addWidget(header);

    // The grid belongs to the query, which this view keeps for its life: it survives a new tree.
    if (!m_levelGrid && m_grid)
        m_levelGrid = m_grid(*m_query, page);
    if (m_levelGrid) {
        m_levelGrid->setParent(page);
        layout->addWidget(m_levelGrid, 1);
    } else {
        layout->addStretch();
    }
    return page;
}

QWidget* PlacesView::makeTrail(const Node& node, QWidget* parent)
{
    auto* trail = new QWidget(parent);
    auto* row = new QHBoxLayout(trail);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    QPushButton* home = linkButton(tr("Places"), trail);
    home->setObjectName(u"trail.places"_s);
    connect(home, &QPushButton::clicked, this, [this] { m_open(std::nullopt); });
    row->addWidget(home);
    for (int index = 0; index < node.trail.size(); ++index) {
        const Step& step = node.trail[index];
        auto* chevron = new QLabel(trail);
        chevron->setPixmap(
            Symbol::pixmap(Symbol::Kind::chevronRight, 10, Palette::muted(), devicePixelRatioF()));
        row->addWidget(chevron);
        if (step.query) {
            QPushButton* link = linkButton(step.name, trail);
            link->setObjectName(u"trail.step.%1"_s.arg(index));
            connect(link, &QPushButton::clicked, this, [this, query = step.query] { m_open(query); });
            row->addWidget(link);
        } else {
            QLabel* title = SheetText::label(step.name, 18, Palette::dark(), trail);
            title->setObjectName(u"trail.title"_s);
            row->addWidget(title);
        }
    }
    row->addStretch();
    return trail;
}

void PlacesView::openCard(const Card& card)
{
    m_open(query(card.id));
}

} // namespace lumi
