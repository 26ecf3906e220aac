#include "sheets/PlacesView.h"
#include "sheets/CardGrid.h"
#include "sheets/CardStrip.h"
#include "sheets/CardView.h"
#include "support/ReviewGrab.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"
#include "widgets/PictureFrame.h"

#include <QJsonArray>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using lumi::Card;
using lumi::PlaceQuery;
using lumi::PlacesTree;
using lumi::PlacesView;
using Node = lumi::PlacesView::Node;
using Step = lumi::PlacesView::Step;
using lumi::test::ModelHarness;

Q_DECLARE_METATYPE(lumi::PlaceQuery)
Q_DECLARE_METATYPE(std::optional<lumi::PlaceQuery>)
Q_DECLARE_METATYPE(std::optional<lumi::PlacesView::Node>)

namespace {

PlaceQuery country(const QString& slug)
{
    return PlaceQuery{slug, std::nullopt, std::nullopt};
}

lumi::PlaceNode place(const QString& name, const QString& slug)
{
    return lumi::PlaceNode{.name = name, .slug = slug, .photos = 3};
}

// Two countries; San Francisco lives in the United States only.
PlacesTree tree()
{
    const lumi::RegionNode california{
        .name = u"California"_s,
        .slug = u"california"_s,
        .stateCode = u"CA"_s,
        .photos = 12,
        .places = {place(u"San Francisco"_s, u"sf"_s), place(u"Los Angeles"_s, u"la"_s)}};
    const lumi::RegionNode oregon{.name = u"Oregon"_s, .slug = u"oregon"_s, .photos = 1};
    const lumi::RegionNode provence{
        .name = u"Provence"_s, .slug = u"provence"_s, .photos = 3, .places = {place(u"Nice"_s, u"nice"_s)}};
    return PlacesTree{
        .featured = {place(u"Nice"_s, u"nice"_s)},
        .countries = {
            lumi::CountryNode{.name = u"United States"_s, .slug = u"us"_s, .regions = {california, oregon}},
            lumi::CountryNode{.name = u"France"_s, .slug = u"fr"_s, .regions = {provence}},
            lumi::CountryNode{.name = u"Iceland"_s, .slug = u"is"_s}}};
}

Card placeCard(const QString& slug, const QString& name)
{
    return Card{u"p-"_s + slug, name, 3, std::nullopt, true, std::nullopt};
}

} // namespace

class PlacesViewTest final : public QObject
{
    Q_OBJECT

private slots:
    void nodeFollowsTheTree_data();
    void nodeFollowsTheTree();
    void cardIdsOpenTheirLevel_data();
    void cardIdsOpenTheirLevel();

    void init();
    void cleanup();
    void loadsAndShowsTheFeaturedHome();
    void homeCardsAreMadeAsTheyComeIntoView();
    void aFailedLoadOffersTryAgain();
    void levelsOpenThroughTheBrowser();
    void theGridBelongsToTheQuery();

private:
    PlacesView* open(std::optional<PlaceQuery> query);
    QJsonObject sandboxTree();
    int coverRequests()
    {
        const QJsonArray requests = m_harness->sandbox.requests();
        return int(std::count_if(requests.begin(), requests.end(), [](const QJsonValue& request) {
            return request[u"path"_s].toString().startsWith(u"/cdn/"_s);
        }));
    }
    QStringList placesRequests()
    {
        return m_harness->requestLines().filter(QRegularExpression(u"^GET /places$"_s));
    }

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<PlacesView> m_view;
    QList<std::optional<PlaceQuery>> m_opened;
    int m_mediaCleared = 0;
    QList<PlaceQuery> m_grids;
};

void PlacesViewTest::nodeFollowsTheTree_data()
{
    QTest::addColumn<PlaceQuery>("query");
    QTest::addColumn<std::optional<Node>>("node");

    const Node sanFrancisco{u"San Francisco"_s,
                            {Step{u"United States"_s, country(u"us"_s)},
                             Step{u"California"_s, PlaceQuery{u"us"_s, u"california"_s, std::nullopt}},
                             Step{u"San Francisco"_s, std::nullopt}},
                            {}};
    const Node unitedStates{u"United States"_s,
                            {Step{u"United States"_s, std::nullopt}},
                            {Card{u"r-us/california"_s, u"California"_s, 12, std::nullopt, false, u"CA"_s},
                             Card{u"r-us/oregon"_s, u"Oregon"_s, 1, std::nullopt, false, std::nullopt}}};

    QTest::newRow("a place under another country than the query's")
        << PlaceQuery{u"fr"_s, u"provence"_s, u"sf"_s} << std::optional<Node>(sanFrancisco);
    QTest::newRow("a region lists its places")
        << PlaceQuery{u"us"_s, u"california"_s, std::nullopt}
        << std::optional<Node>(
               Node{u"California"_s,
                    {Step{u"United States"_s, country(u"us"_s)}, Step{u"California"_s, std::nullopt}},
                    {placeCard(u"sf"_s, u"San Francisco"_s), placeCard(u"la"_s, u"Los Angeles"_s)}});
    QTest::newRow("an unknown region: the country")
        << PlaceQuery{u"us"_s, u"nowhere"_s, std::nullopt} << std::optional<Node>(unitedStates);
    QTest::newRow("a region of another country: the country")
        << PlaceQuery{u"us"_s, u"provence"_s, std::nullopt} << std::optional<Node>(unitedStates);
    QTest::newRow("an unknown place with a country: the country")
        << PlaceQuery{u"us"_s, std::nullopt, u"gone"_s} << std::optional<Node>(unitedStates);
    QTest::newRow("a country without regions")
        << country(u"is"_s)
        << std::optional<Node>(Node{u"Iceland"_s, {Step{u"Iceland"_s, std::nullopt}}, {}});
    QTest::newRow("an unknown place alone")
        << PlaceQuery{std::nullopt, std::nullopt, u"gone"_s} << std::optional<Node>();
    QTest::newRow("an unknown country") << country(u"xx"_s) << std::optional<Node>();
    QTest::newRow("a featured place is found in the tree")
        << PlaceQuery{std::nullopt, std::nullopt, u"nice"_s}
        << std::optional<Node>(Node{u"Nice"_s,
                                    {Step{u"France"_s, country(u"fr"_s)},
                                     Step{u"Provence"_s, PlaceQuery{u"fr"_s, u"provence"_s, std::nullopt}},
                                     Step{u"Nice"_s, std::nullopt}},
                                    {}});
}

void PlacesViewTest::nodeFollowsTheTree()
{
    QFETCH(PlaceQuery, query);
    QFETCH(std::optional<Node>, node);
    const std::optional<Node> found = PlacesView::node(query, tree());
    QCOMPARE(found.has_value(), node.has_value());
    if (!node)
        return;
    QCOMPARE(found->name, node->name);
    QCOMPARE(found->trail.size(), node->trail.size());
    for (int index = 0; index < node->trail.size(); ++index) {
        QCOMPARE(found->trail[index].name, node->trail[index].name);
        QCOMPARE(found->trail[index].query, node->trail[index].query);
    }
    QCOMPARE(found->children.size(), node->children.size());
    for (int index = 0; index < node->children.size(); ++index) {
        QCOMPARE(found->children[index].id, node->children[index].id);
        QCOMPARE(found->children[index].state, node->children[index].state);
        QCOMPARE(found->children[index].place, node->children[index].place);
    }
}

void PlacesViewTest::cardIdsOpenTheirLevel_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<std::optional<PlaceQuery>>("query");

    using Query = std::optional<PlaceQuery>;
    QTest::newRow("place") << u"p-lisbon"_s << Query(PlaceQuery{std::nullopt, std::nullopt, u"lisbon"_s});
    QTest::newRow("region") << u"r-us/california"_s
                            << Query(PlaceQuery{u"us"_s, u"california"_s, std::nullopt});
    QTest::newRow("region without its country") << u"r-us"_s << Query();
    QTest::newRow("empty country") << u"r-/x"_s << Query();
    QTest::newRow("split once") << u"r-a/b/c"_s << Query(PlaceQuery{u"a"_s, u"b/c"_s, std::nullopt});
    QTest::newRow("another prefix") << u"c-us"_s << Query();
    QTest::newRow("empty") << QString() << Query();
}

void PlacesViewTest::cardIdsOpenTheirLevel()
{
    QFETCH(QString, id);
    QFETCH(std::optional<PlaceQuery>, query);
    QCOMPARE(PlacesView::query(id), query);
}

void PlacesViewTest::init()
{
    if (QByteArray(QTest::currentTestFunction()).endsWith("_data"))
        return;
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_harness->launchSignedIn();
    m_opened.clear();
    m_mediaCleared = 0;
    m_grids.clear();
}

void PlacesViewTest::cleanup()
{
    m_view.reset();
    m_harness.reset();
}

PlacesView* PlacesViewTest::open(std::optional<PlaceQuery> query)
{
    m_view = std::make_unique<PlacesView>(
        m_harness->model(), m_harness->catalog(), std::move(query),
        [this](std::optional<PlaceQuery> opened) { m_opened.append(opened); },
        [this](const PlaceQuery& gridQuery, QWidget* parent) {
            m_grids.append(gridQuery);
            auto* grid = new QLabel(u"grid"_s, parent);
            grid->setObjectName(u"grid"_s);
            return grid;
        },
        [this] { ++m_mediaCleared; });
    m_view->resize(900, 700);
    m_view->show();
    return m_view.get();
}

QJsonObject PlacesViewTest::sandboxTree()
{
    const QJsonObject tree =
        m_harness->sandbox.call("GET", u"places"_s, m_harness->model().sessionToken().value_or(QString()))
            .json()
            .toObject();
    m_harness->sandbox.clearRequests();
    return tree;
}

void PlacesViewTest::loadsAndShowsTheFeaturedHome()
{
    const QJsonArray featured = sandboxTree()[u"featured"_s].toArray();
    QVERIFY(featured.size() > 1);
    QVERIFY(m_harness->sandbox.addFault(
        {{u"path"_s, u"/api/v6/places"_s}, {u"delayMs"_s, 300}, {u"times"_s, 1}}));
    PlacesView* view = open(std::nullopt);
    QCOMPARE(view->state(), PlacesView::State::loading);
    QVERIFY(view->findChild<QProgressBar*>(u"places.loading"_s));
    QTRY_COMPARE(view->state(), PlacesView::State::home);
    QCOMPARE(placesRequests().size(), 1);

    QStringList shown;
    for (lumi::CardView* card : view->findChildren<lumi::CardView*>())
        shown.append(card->card().name);
    QStringList expected;
    for (const QJsonValue place : featured)
        expected.append(place[u"name"_s].toString());
    QCOMPARE(shown, expected);
    // Covers load once they come into view.
    view->grab();
    for (lumi::CardView* card : view->findChildren<lumi::CardView*>())
        QTRY_VERIFY_WITH_TIMEOUT(!card->findChild<lumi::PictureFrame*>()->picture().isNull(), 10000);
    lumi::test::saveForReview(*view, u"places-home"_s);
    QVERIFY(m_mediaCleared >= 1);
    const int cleared = m_mediaCleared;
    view->hide();
    view->show();
    QCOMPARE(m_mediaCleared, cleared + 1);
    // A fresh tree is not asked for again.
    QVERIFY(m_harness->settle());
    QCOMPARE(placesRequests().size(), 1);

    auto* first = view->findChildren<lumi::CardView*>().value(0);
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(10, 10));
    const std::optional<PlaceQuery> firstPlace =
        PlaceQuery{std::nullopt, std::nullopt, featured[0][u"slug"_s].toString()};
    QCOMPARE(m_opened, QList<std::optional<PlaceQuery>>{firstPlace});
}

void PlacesViewTest::homeCardsAreMadeAsTheyComeIntoView()
{
    // Two columns and under two rows in view: the third row is beyond the margin.
    PlacesView* view = open(std::nullopt);
    view->resize(480, 260);
    QTRY_COMPARE(view->state(), PlacesView::State::home);
    auto* grid = view->findChild<lumi::CardGrid*>();
    QVERIFY(grid);
    QCOMPARE(grid->cards().cards().size(), 6);
    QCOMPARE(grid->cards().madeCount(), 4);
    QCOMPARE(view->findChildren<lumi::CardView*>().size(), 4);
    view->grab();
    QTRY_COMPARE(coverRequests(), 4);

    auto* scroll = view->findChild<QScrollArea*>(u"places.home"_s);
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    QCOMPARE(grid->cards().madeCount(), 6);
    view->grab();
    QTRY_COMPARE(coverRequests(), 6);
    // Made once: scrolling back makes nothing new.
    scroll->verticalScrollBar()->setValue(0);
    QCOMPARE(view->findChildren<lumi::CardView*>().size(), 6);
}

void PlacesViewTest::aFailedLoadOffersTryAgain()
{
    QVERIFY(m_harness->sandbox.addFault({{u"path"_s, u"/api/v6/places"_s}, {u"status"_s, 503}}));
    PlacesView* view = open(PlaceQuery{u"anywhere"_s, std::nullopt, std::nullopt});
    QTRY_COMPARE(view->state(), PlacesView::State::failed);
    QCOMPARE(view->findChild<QLabel*>(u"places.failure"_s)->text(), u"Couldn't load places"_s);
    // Quietly: no alert.
    QCOMPARE(m_harness->model().alert(), std::nullopt);
    QCOMPARE(placesRequests().size(), 1);

    m_harness->sandbox.clearFaults();
    QTest::mouseClick(view->findChild<QPushButton*>(u"places.retry"_s), Qt::LeftButton);
    // The retry is the view's task, not the model's: wait for its request.
    QTRY_COMPARE(placesRequests().size(), 2);
    // The query names nothing in the tree: the home, and no grid.
    QTRY_COMPARE(view->state(), PlacesView::State::home);
    QVERIFY(m_grids.isEmpty());
}

void PlacesViewTest::levelsOpenThroughTheBrowser()
{
    const PlaceQuery featured = m_harness->featuredPlace();
    PlacesView* view = open(PlaceQuery{featured.country, std::nullopt, std::nullopt});
    QTRY_COMPARE(view->state(), PlacesView::State::level);
    auto* strip = view->findChild<lumi::CardStrip*>();
    QVERIFY(strip);
    const QList<lumi::CardView*> regions = strip->findChildren<lumi::CardView*>();
    QVERIFY(!regions.isEmpty());
    view->grab();
    QTRY_VERIFY_WITH_TIMEOUT(!regions[0]->findChild<lumi::PictureFrame*>()->picture().isNull(), 10000);
    lumi::test::saveForReview(*view, u"places-country"_s);
    QTest::mouseClick(regions[0], Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(view->findChild<QPushButton*>(u"trail.places"_s), Qt::LeftButton);
    QCOMPARE(m_opened,
             (QList<std::optional<PlaceQuery>>{PlacesView::query(regions[0]->card().id), std::nullopt}));
    QVERIFY(m_opened[0]->region);

    // A place: the trail links its country and region; no strip.
    m_opened.clear();
    view = open(PlaceQuery{std::nullopt, std::nullopt, featured.place});
    QTRY_COMPARE(view->state(), PlacesView::State::level);
    QVERIFY(!view->findChild<lumi::CardStrip*>());
    QVERIFY(view->findChild<QLabel*>(u"trail.title"_s));
    QTest::mouseClick(view->findChild<QPushButton*>(u"trail.step.0"_s), Qt::LeftButton);
    QTest::mouseClick(view->findChild<QPushButton*>(u"trail.step.1"_s), Qt::LeftButton);
    QCOMPARE(m_opened,
             (QList<std::optional<PlaceQuery>>{PlaceQuery{featured.country, std::nullopt, std::nullopt},
                                               PlaceQuery{featured.country, featured.region, std::nullopt}}));
}

void PlacesViewTest::theGridBelongsToTheQuery()
{
    const PlaceQuery featured = m_harness->featuredPlace();
    const PlaceQuery query{featured.country, featured.region, std::nullopt};
    PlacesView* view = open(query);
    QTRY_COMPARE(view->state(), PlacesView::State::level);
    const QPointer<QWidget> grid = view->findChild<QWidget*>(u"grid"_s);
    QVERIFY(grid && grid->isVisible());
    QCOMPARE(m_grids, QList<PlaceQuery>{query});

    // A new tree keeps the grid and its paging.
    QVERIFY(m_harness->sandbox.addFault({{u"path"_s, u"/api/v6/places"_s}, {u"status"_s, 500}}));
    lumi::test::runTask(m_harness->catalog().loadPlaces(true));
    QCOMPARE(view->state(), PlacesView::State::level);
    m_harness->sandbox.clearFaults();
    lumi::test::runTask(m_harness->catalog().loadPlaces(true));
    QTest::qWait(0);
    QVERIFY(grid && grid->isVisible());
    QCOMPARE(m_grids.size(), 1);
}

QTEST_MAIN(PlacesViewTest)
#include "PlacesViewTest.moc"
