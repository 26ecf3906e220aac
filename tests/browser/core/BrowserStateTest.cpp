#include "browser/core/BrowserState.h"
#include "model/DefaultsKeys.h"
#include "state/Guidance.h"
#include "support/browser/BrowserServicesOf.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::Album;
using lumi::BrowseMode;
using lumi::BrowserState;
using lumi::Medium;
using lumi::PlaceQuery;
using lumi::PlayMode;
using lumi::Source;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SandboxFixture;
using OptionalSource = std::optional<Source>;
using OptionalText = std::optional<QString>;

Q_DECLARE_METATYPE(OptionalSource)
Q_DECLARE_METATYPE(OptionalText)

namespace {

constexpr qint64 favoritesId = 101;
constexpr qint64 morningsId = 102;
constexpr qint64 picksId = 103;

Source album(qint64 id)
{
    return Source{Source::Album{id}};
}

Source places(std::optional<QString> country = {}, std::optional<QString> region = {},
              std::optional<QString> place = {})
{
    return Source{Source::Places{PlaceQuery{std::move(country), std::move(region), std::move(place)}}};
}

} // namespace

class BrowserStateTest final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void submitSearch_data();
    void submitSearch();
    void sameTermTwiceReactsOnceAndCountsTwice();
    void emptiedSearchShowsWhatWasThere_data();
    void emptiedSearchShowsWhatWasThere();
    void selectionQueuesItsEvent_data();
    void selectionQueuesItsEvent();
    void modesRememberTheirLastSource();
    void requestsAndTourMoveTheBrowser();
    void titleAndPath_data();
    void titleAndPath();
    void placeNamesAndHighlightedCountry_data();
    void placeNamesAndHighlightedCountry();
    void playStartsWhereThePhotoIs_data();
    void playStartsWhereThePhotoIs();
    void deletionMovesOffThePlaylist_data();
    void deletionMovesOffThePlaylist();
    void alertStepWaitsThreeSeconds_data();
    void alertStepWaitsThreeSeconds();

private:
    /// The harness signed in, its journal empty, no onboarding or tour due.
    BrowserState& launch(const QString& email = SandboxFixture::demoEmail,
                         const QString& password = SandboxFixture::demoPassword);
    QStringList events() const;

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<BrowserState> m_state;
};

void BrowserStateTest::cleanup()
{
    m_state.reset();
    m_harness.reset();
}

BrowserState& BrowserStateTest::launch(const QString& email, const QString& password)
{
    m_harness = std::make_unique<ModelHarness>();
    m_harness->launchSignedIn(email, password);
    m_harness->guidance().setOnboardingDue(false);
    m_harness->guidance().setTourDue(false);
    m_harness->window.visible = true;
    m_state = std::make_unique<BrowserState>(lumi::test::browserStateServices(*m_harness));
    m_harness->journal.clear();
    m_harness->requestLines();
    m_harness->sandbox.clearRequests();
    return *m_state;
}

QStringList BrowserStateTest::events() const
{
    return m_harness->journal.calls().filter(u"events.track"_s);
}

void BrowserStateTest::submitSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptionalSource>("selection");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("blanks around the term")
        << u"  alps  "_s << OptionalSource(Source{Source::Search{u"alps"_s}})
        << QStringList{u"events.track(search,query-length=4)"_s};
    QTest::newRow("tabs around the term") << u"\tsea\t"_s << OptionalSource(Source{Source::Search{u"sea"_s}})
                                          << QStringList{u"events.track(search,query-length=3)"_s};
    QTest::newRow("a line break is kept") << u"sea\n"_s << OptionalSource(Source{Source::Search{u"sea\n"_s}})
                                          << QStringList{u"events.track(search,query-length=4)"_s};
    QTest::newRow("an accent written as its own mark counts once")
        << u"Zu\u0308rich"_s << OptionalSource(Source{Source::Search{u"Zu\u0308rich"_s}})
        << QStringList{u"events.track(search,query-length=6)"_s};
    QTest::newRow("an emoji counts once")
        << u"\U0001F3D4 alps"_s << OptionalSource(Source{Source::Search{u"\U0001F3D4 alps"_s}})
        << QStringList{u"events.track(search,query-length=6)"_s};
    QTest::newRow("blanks only") << u" \t "_s << OptionalSource(Source::latest()) << QStringList{};
    QTest::newRow("empty") << QString() << OptionalSource(Source::latest()) << QStringList{};
}

void BrowserStateTest::submitSearch()
{
    QFETCH(QString, text);
    QFETCH(OptionalSource, selection);
    QFETCH(QStringList, events);

    BrowserState& state = launch();
    state.setSearchText(text);
    state.submitSearch();
    QCOMPARE(state.selection(), selection);
    QCOMPARE(this->events(), events);
    QCOMPARE(state.searchText(), text);
    QCOMPARE(state.mode(), BrowseMode::home);
}

void BrowserStateTest::sameTermTwiceReactsOnceAndCountsTwice()
{
    BrowserState& state = launch();
    const Medium photo = m_harness->catalogPhotos(1).first();
    QSignalSpy changed(&state, &BrowserState::selectionChanged);
    state.setSearchText(u"alps"_s);
    state.submitSearch();
    state.setSelectedPhoto(photo);
    state.submitSearch();
    QCOMPARE(changed.size(), 1);
    // No second reaction: the photo chosen in the results stays selected.
    QCOMPARE(state.selectedPhoto(), std::optional(photo));
    QCOMPARE(events(), QStringList(2, u"events.track(search,query-length=4)"_s));
}

void BrowserStateTest::emptiedSearchShowsWhatWasThere_data()
{
    QTest::addColumn<OptionalSource>("before");
    QTest::addColumn<BrowseMode>("mode");
    QTest::addColumn<QStringList>("terms"); // searched one after the other

    QTest::newRow("a playlist") << OptionalSource(album(morningsId)) << BrowseMode::playlists
                                << QStringList{u"alps"_s};
    QTest::newRow("a place, two searches later")
        << OptionalSource(places(u"italy"_s)) << BrowseMode::places << QStringList{u"alps"_s, u"sea"_s};
    QTest::newRow("nothing, in the playlists")
        << OptionalSource() << BrowseMode::playlists << QStringList{u"alps"_s};
}

void BrowserStateTest::emptiedSearchShowsWhatWasThere()
{
    QFETCH(OptionalSource, before);
    QFETCH(BrowseMode, mode);
    QFETCH(QStringList, terms);

    BrowserState& state = launch();
    state.selectMode(mode, false);
    state.setSelection(before);
    for (const QString& term : std::as_const(terms)) {
        state.editSearchText(term);
        state.submitSearch();
    }
    QCOMPARE(state.mode(), BrowseMode::home);
    state.editSearchText(QString());
    QCOMPARE(state.selection(), before);
    QCOMPARE(state.mode(), mode);
    QCOMPARE(state.searchText(), QString());

    // An empty field with no search shown changes nothing.
    state.editSearchText(QString());
    state.submitSearch();
    QCOMPARE(state.selection(), before);
}

void BrowserStateTest::selectionQueuesItsEvent_data()
{
    QTest::addColumn<Source>("source");
    QTest::addColumn<BrowseMode>("mode");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("surveyAsked");

    QTest::newRow("a playlist") << album(4242) << BrowseMode::playlists
                                << QStringList{u"events.track(album-opened,is-playlist=true)"_s} << true;
    QTest::newRow("today") << Source{Source::Today{}} << BrowseMode::home
                           << QStringList{u"events.track(album-opened,is-playlist=false)"_s} << false;
    QTest::newRow("a category") << Source{Source::Category{u"classic/popular"_s, u"Popular"_s}}
                                << BrowseMode::home
                                << QStringList{u"events.track(album-opened,is-playlist=false)"_s} << false;
    QTest::newRow("a search") << Source{Source::Search{u"x"_s}} << BrowseMode::home << QStringList{} << false;
    QTest::newRow("the places catalog") << Source{Source::Places{}} << BrowseMode::places
                                        << QStringList{u"events.track(places-opened,level=all)"_s} << false;
    QTest::newRow("a region")
        << places(u"italy"_s, u"tuscany"_s) << BrowseMode::places
        << QStringList{u"events.track(places-opened,country=italy,level=region,region=tuscany)"_s} << false;
}

void BrowserStateTest::selectionQueuesItsEvent()
{
    QFETCH(Source, source);
    QFETCH(BrowseMode, mode);
    QFETCH(QStringList, events);
    QFETCH(bool, surveyAsked);

    // The second account is due for the survey.
    BrowserState& state = launch(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    state.setSelectedPhoto(m_harness->catalogPhotos(1).first());
    m_harness->sandbox.clearRequests();
    state.setSelection(source);
    QCOMPARE(state.mode(), mode);
    QVERIFY(!state.selectedPhoto());
    QCOMPARE(this->events(), events);
    QVERIFY(m_harness->settle());
    QCOMPARE(m_harness->requestLines().contains(u"POST /users/update_survey"_s), surveyAsked);
}

void BrowserStateTest::modesRememberTheirLastSource()
{
    BrowserState& state = launch();
    const Source today{Source::Today{}};
    state.setSelection(today);
    state.setSearchText(u"alps"_s);
    state.submitSearch();
    state.selectMode(BrowseMode::places, false);
    QCOMPARE(state.selection(), OptionalSource(Source{Source::Places{}}));
    QCOMPARE(state.searchText(), QString());
    state.setSelection(places(u"italy"_s));

    state.selectMode(BrowseMode::home, false);
    QCOMPARE(state.selection(), OptionalSource(today));
    QCOMPARE(state.lastPlaces(), places(u"italy"_s));

    // The active mode again changes nothing.
    state.setSearchText(u"kept"_s);
    state.selectMode(BrowseMode::home, false);
    QCOMPARE(state.searchText(), u"kept"_s);

    state.selectMode(BrowseMode::playlists, false);
    QCOMPARE(state.selection(), OptionalSource(album(favoritesId)));
    state.setSelection(album(picksId));
    state.selectMode(BrowseMode::places, false);
    QCOMPARE(state.selection(), OptionalSource(places(u"italy"_s)));
    state.selectMode(BrowseMode::playlists, false);
    QCOMPARE(state.selection(), OptionalSource(album(picksId)));
}

void BrowserStateTest::requestsAndTourMoveTheBrowser()
{
    m_harness = std::make_unique<ModelHarness>();
    m_harness->launchSignedIn();
    // Raised before the browser exists: honoured when it is made.
    lumi::Guidance& guidance = m_harness->guidance();
    guidance.setShowTodayRequested(true);
    m_state = std::make_unique<BrowserState>(lumi::test::browserStateServices(*m_harness));
    BrowserState& state = *m_state;
    QCOMPARE(state.selection(), OptionalSource(Source{Source::Today{}}));
    QVERIFY(!guidance.showTodayRequested());

    guidance.setShowPlaceRequested(PlaceQuery{u"italy"_s, {}, {}});
    QCOMPARE(state.selection(), OptionalSource(places(u"italy"_s)));
    QVERIFY(!guidance.showPlaceRequested());

    // Step 2 shows the playlists, step 0 with an empty grid selects the last home source again.
    guidance.setTourPreparing(2);
    QCOMPARE(state.mode(), BrowseMode::playlists);
    state.setSearchText(u"sea"_s);
    state.submitSearch();
    guidance.setTourPreparing(0);
    QCOMPARE(state.selection(), OptionalSource(Source{Source::Today{}}));
    QCOMPARE(state.searchText(), QString());
    // With photos in the home grid, it stays.
    state.setSearchText(u"sea"_s);
    state.submitSearch();
    state.setGridMedia(m_harness->catalogPhotos(2));
    guidance.setTourPreparing(1);
    QCOMPARE(state.selection(), OptionalSource(Source{Source::Search{u"sea"_s}}));
}

void BrowserStateTest::titleAndPath_data()
{
    QTest::addColumn<OptionalSource>("source");
    QTest::addColumn<QString>("title");
    QTest::addColumn<OptionalText>("path");

    QTest::newRow("none") << OptionalSource() << u"Lumivale"_s << OptionalText();
    QTest::newRow("category") << OptionalSource(Source{Source::Category{u"classic/popular"_s, u"Popular"_s}})
                              << u"Popular"_s << OptionalText(u"classic/popular"_s);
    QTest::newRow("held playlist") << OptionalSource(album(morningsId)) << u"Mountain Mornings"_s
                                   << OptionalText(u"playlists/mountain-mornings"_s);
    QTest::newRow("gone playlist") << OptionalSource(album(4242)) << u"Playlist"_s << OptionalText();
    QTest::newRow("search") << OptionalSource(Source{Source::Search{u"alps"_s}}) << u"Search: “alps”"_s
                            << OptionalText(u"classic/latest"_s);
    QTest::newRow("places catalog") << OptionalSource(Source{Source::Places{}}) << u"Places"_s
                                    << OptionalText();
    QTest::newRow("place, no tree held")
        << OptionalSource(places(u"italy"_s)) << u"Places"_s << OptionalText();
    QTest::newRow("today") << OptionalSource(Source{Source::Today{}}) << u"Today"_s
                           << OptionalText(u"today"_s);
}

void BrowserStateTest::titleAndPath()
{
    QFETCH(OptionalSource, source);
    QFETCH(QString, title);
    QFETCH(OptionalText, path);

    BrowserState& state = launch();
    state.setSelection(source);
    QCOMPARE(state.title(), title);
    QCOMPARE(state.sourcePath(), path);
}

void BrowserStateTest::placeNamesAndHighlightedCountry_data()
{
    // Which slugs of the sandbox's first featured place the query carries; "wrong" stands for a
    // slug no node has.
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("title");           // the name of which node, or "none"
    QTest::addColumn<QString>("selectedCountry"); // the country slug of which node, or "none"

    QTest::newRow("a place") << u"-"_s << u"-"_s << u"place"_s << u"place"_s << u"country"_s;
    QTest::newRow("a place under a wrong country")
        << u"wrong"_s << u"-"_s << u"place"_s << u"place"_s << u"country"_s;
    QTest::newRow("an unknown place") << u"country"_s << u"-"_s << u"wrong"_s << u"none"_s << u"none"_s;
    QTest::newRow("a country") << u"country"_s << u"-"_s << u"-"_s << u"country"_s << u"country"_s;
    QTest::newRow("a region") << u"country"_s << u"region"_s << u"-"_s << u"region"_s << u"country"_s;
    QTest::newRow("a wrong region") << u"country"_s << u"wrong"_s << u"-"_s << u"none"_s << u"country"_s;
    QTest::newRow("an unknown country") << u"wrong"_s << u"-"_s << u"-"_s << u"none"_s << u"wrong"_s;
    QTest::newRow("no slug at all") << u"-"_s << u"-"_s << u"-"_s << u"none"_s << u"none"_s;
}

void BrowserStateTest::placeNamesAndHighlightedCountry()
{
    QFETCH(QString, country);
    QFETCH(QString, region);
    QFETCH(QString, place);
    QFETCH(QString, title);
    QFETCH(QString, selectedCountry);

    BrowserState& state = launch();
    const PlaceQuery featured = m_harness->featuredPlace();
    QVERIFY(featured.place);
    auto pick = [&featured](const QString& which,
                            const std::optional<QString>& slug) -> std::optional<QString> {
        if (which == u"-")
            return std::nullopt;
        return which == u"wrong" ? u"nowhere"_s : slug;
    };
    const PlaceQuery query{pick(country, featured.country), pick(region, featured.region),
                           pick(place, featured.place)};

    // Nothing is named before the tree is held.
    QCOMPARE(state.placeTitle(query), OptionalText());
    // Entering the places mode loads the tree, as a task of the model's that settling waits for.
    state.setSelection(Source{Source::Places{query}});
    QVERIFY(m_harness->settle());
    QVERIFY(m_harness->catalog().placesTree());

    const lumi::PlacesTree& tree = *m_harness->catalog().placesTree();
    const lumi::PlacesTree::PlaceMatch node = *tree.place(*featured.place);
    const QMap<QString, QString> names{
        {u"place"_s, node.place.name}, {u"region"_s, node.region.name}, {u"country"_s, node.country.name}};
    QCOMPARE(state.placeTitle(query), title == u"none" ? OptionalText() : OptionalText(names.value(title)));
    const QMap<QString, QString> slugs{{u"country"_s, node.country.slug}, {u"wrong"_s, u"nowhere"_s}};
    QCOMPARE(state.selectedCountrySlug(),
             selectedCountry == u"none" ? OptionalText() : OptionalText(slugs.value(selectedCountry)));
}

void BrowserStateTest::playStartsWhereThePhotoIs_data()
{
    QTest::addColumn<QString>("how");        // "slideshow", "stories", "fader" or "as last"
    QTest::addColumn<bool>("storiesBefore"); // "gallery-info-show" before
    QTest::addColumn<int>("given");          // index of the photo handed in, -1 none
    QTest::addColumn<int>("selected");       // index of the selected photo, -1 none, 9 not in the grid
    QTest::addColumn<QString>("played");
    QTest::addColumn<bool>("storiesAfter");

    QTest::newRow("slideshow from the selected photo")
        << u"slideshow"_s << true << -1 << 2 << u"player.showGallery(3,2,slideshow)"_s << false;
    QTest::newRow("selected photo gone from the grid")
        << u"stories"_s << false << -1 << 9 << u"player.showGallery(3,0,infoshow)"_s << true;
    QTest::newRow("the given photo before the selected one")
        << u"slideshow"_s << false << 1 << 2 << u"player.showGallery(3,1,slideshow)"_s << false;
    QTest::newRow("an effect leaves the last gallery mode")
        << u"fader"_s << true << -1 << -1 << u"player.showGallery(3,0,saver:fader)"_s << true;
    QTest::newRow("as last, never written")
        << u"as last"_s << false << -1 << -1 << u"player.showGallery(3,0,slideshow)"_s << false;
    QTest::newRow("as last after stories")
        << u"as last"_s << true << 1 << -1 << u"player.showGallery(3,1,infoshow)"_s << true;
}

void BrowserStateTest::playStartsWhereThePhotoIs()
{
    QFETCH(QString, how);
    QFETCH(bool, storiesBefore);
    QFETCH(int, given);
    QFETCH(int, selected);
    QFETCH(QString, played);
    QFETCH(bool, storiesAfter);

    BrowserState& state = launch();
    QList<Medium> photos = m_harness->catalogPhotos(4);
    const Medium outside = photos.takeLast();
    state.setSearchText(u"alps"_s);
    state.submitSearch();
    state.setGridMedia(photos);
    if (selected >= 0)
        state.setSelectedPhoto(selected < photos.size() ? photos.at(selected) : outside);
    if (storiesBefore)
        m_harness->defaults.set(lumi::keys::galleryInfoShow, true);
    const std::optional<Medium> photo = given >= 0 ? std::optional(photos.at(given)) : std::nullopt;
    m_harness->sandbox.clearRequests();

    if (how == u"as last")
        state.playAsLast(photo);
    else if (how == u"fader")
        state.play(PlayMode::saver(lumi::SaverEffect::fader), photo);
    else
        state.play(how == u"stories" ? PlayMode::infoshow() : PlayMode::slideshow(), photo);
    // The model's work while the descriptions load, so that its failure has a place to go.
    QVERIFY(m_harness->model().runningTasks() >= 1);
    QTRY_COMPARE(m_harness->journal.calls().filter(u"player."_s), QStringList{played});
    QCOMPARE(m_harness->defaults.get(lumi::keys::galleryInfoShow), storiesAfter);
    // The descriptions come from the search's listing.
    const QStringList requests = m_harness->requestLines();
    QVERIFY2(requests.size() == 1 && requests.first().startsWith(u"GET /media/classic/latest?"_s) &&
                 requests.first().contains(u"search=alps"_s),
             qPrintable(requests.join(u'\n')));
}

void BrowserStateTest::deletionMovesOffThePlaylist_data()
{
    QTest::addColumn<bool>("withFavorites");
    QTest::addColumn<QList<qint64>>("playlists"); // the other playlists held, in listed order
    QTest::addColumn<qint64>("shown");
    QTest::addColumn<qint64>("deleted");
    QTest::addColumn<OptionalSource>("after");

    QTest::newRow("shown, with favorites") << true << QList<qint64>{picksId, morningsId} << morningsId
                                           << morningsId << OptionalSource(album(favoritesId));
    QTest::newRow("no favorites, the first shown") << false << QList<qint64>{picksId, morningsId} << picksId
                                                   << picksId << OptionalSource(album(morningsId));
    QTest::newRow("the only playlist")
        << false << QList<qint64>{morningsId} << morningsId << morningsId << OptionalSource();
    QTest::newRow("not the shown one") << true << QList<qint64>{picksId, morningsId} << picksId << morningsId
                                       << OptionalSource(album(picksId));
}

void BrowserStateTest::deletionMovesOffThePlaylist()
{
    QFETCH(bool, withFavorites);
    QFETCH(QList<qint64>, playlists);
    QFETCH(qint64, shown);
    QFETCH(qint64, deleted);
    QFETCH(OptionalSource, after);

    BrowserState& state = launch();
    lumi::AppModel& model = m_harness->model();
    QList<Album> held;
    if (withFavorites)
        held.append(m_harness->album(u"favorites"_s));
    for (qint64 id : playlists) {
        for (const Album& album : model.account().albums()) {
            if (album.id == id)
                held.append(album);
        }
    }
    model.setAlbums(held);
    const Album victim = [&] {
        for (const Album& album : held) {
            if (album.id == deleted)
                return album;
        }
        return Album{};
    }();

    state.setSelection(album(deleted));
    state.setSelection(album(shown));
    // As the deletion sheet does: the view leaves at once, the editor deletes.
    state.leavePlaylist(victim);
    QCOMPARE(state.selection(), after);
    QVERIFY(!runTask(m_harness->playlists().deletePlaylist(victim)));
    QVERIFY(!state.existingPlaylist(album(deleted)));
    QVERIFY2(!model.alert(), qPrintable(model.alert().value_or(QString())));
    // The deleted playlist is no longer the one the playlists mode returns to.
    state.setSelection(Source{Source::Today{}});
    state.selectMode(BrowseMode::playlists, false);
    QVERIFY(state.selection() != OptionalSource(album(deleted)));
}

void BrowserStateTest::alertStepWaitsThreeSeconds_data()
{
    QTest::addColumn<QString>("due");       // "onboarding" or "tour"
    QTest::addColumn<QString>("meanwhile"); // what happens after 2 s
    QTest::addColumn<int>("secondsAfter");  // seconds of the wait after it
    QTest::addColumn<bool>("offered");

    QTest::newRow("onboarding, 3 s") << u"onboarding"_s << u""_s << 1 << true;
    QTest::newRow("onboarding, not before 3 s") << u"onboarding"_s << u""_s << 0 << false;
    QTest::newRow("the tour") << u"tour"_s << u""_s << 1 << true;
    QTest::newRow("settings requested") << u"onboarding"_s << u"request"_s << 5 << false;
    QTest::newRow("request cleared: 3 s anew, not yet")
        << u"onboarding"_s << u"request and clear"_s << 2 << false;
    QTest::newRow("request cleared: 3 s anew") << u"onboarding"_s << u"request and clear"_s << 3 << true;
    QTest::newRow("window hidden") << u"onboarding"_s << u"hide"_s << 5 << false;
}

void BrowserStateTest::alertStepWaitsThreeSeconds()
{
    QFETCH(QString, due);
    QFETCH(QString, meanwhile);
    QFETCH(int, secondsAfter);
    QFETCH(bool, offered);

    launch();
    lumi::Guidance& guidance = m_harness->guidance();
    if (due == u"onboarding")
        guidance.setOnboardingDue(true);
    else
        guidance.setTourDue(true);
    QVERIFY(m_harness->advance(2s));
    if (meanwhile.startsWith(u"request"))
        m_harness->guidance().setSettingsRequested(true);
    if (meanwhile == u"request and clear")
        m_harness->guidance().setSettingsRequested(false);
    if (meanwhile == u"hide")
        m_harness->window.visible = false;
    QVERIFY(m_harness->advance(std::chrono::seconds(secondsAfter)));
    if (due == u"onboarding")
        QCOMPARE(guidance.onboardingRequested(), offered);
    else
        QCOMPARE(!guidance.tourDue(), offered);
}

QTEST_GUILESS_MAIN(BrowserStateTest)
#include "BrowserStateTest.moc"
