#include "model/PlacesTree.h"
#include "model/PhotoLocation.h"
#include "model/PlaceQuery.h"
#include "support/JsonText.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Two places share the slug "nice"; "georgia" is a region of one country and the slug of another.
// moc cannot read raw strings that span lines, hence one literal per line.
const QByteArray treeJson =
    R"({)"
    R"(  "featured": [)"
    R"(    {"name": "Lisbon", "slug": "lisbon", "featured": true, "photos": 12, "country_slug": "pt", "region_slug": "lisboa"})"
    R"(  ],)"
    R"(  "countries": [)"
    R"(    {"code": "FR", "name": "France", "slug": "fr", "photos": 30,)"
    R"(     "cover": {"uuid": "c1", "title": "Coast", "secure_base_url": "https://cdn.lumivale.com/c1/"},)"
    R"(     "regions": [)"
    R"(       {"name": "Provence", "slug": "provence", "state_code": "PAC", "photos": 20, "places": [)"
    R"(         {"name": "Nice", "slug": "nice", "featured": false, "photos": 8},)"
    R"(         {"name": "Arles", "slug": "arles", "featured": false, "photos": 4}]},)"
    R"(       {"name": "Brittany", "slug": "bretagne", "photos": 10, "cover": null, "places": [)"
    R"(         {"name": "Nice in Brittany", "slug": "nice", "featured": false, "photos": 1}]}]},)"
    R"(    {"code": "US", "name": "United States", "slug": "us", "photos": 5, "regions": [)"
    R"(       {"name": "Georgia", "slug": "georgia", "state_code": "GA", "photos": 5, "places": [)"
    R"(         {"name": "Savannah", "slug": "savannah", "featured": true, "photos": 5}]}]},)"
    R"(    {"code": "GE", "name": "Georgia", "slug": "georgia", "photos": 3, "regions": [)"
    R"(       {"name": "Tbilisi", "slug": "tbilisi", "photos": 3, "places": []}]})"
    R"(  ])"
    R"(})";

PlacesTree fixtureTree()
{
    QString error;
    const auto tree = PlacesTree::fromJson(test::jsonValue(treeJson), &error);
    if (!tree)
        qFatal("places fixture does not decode: %s", qPrintable(error));
    return *tree;
}

std::optional<QString> present(const QString& text)
{
    return text.isNull() ? std::nullopt : std::optional(text);
}

QString mapText(const QMap<QString, QString>& map)
{
    QStringList pairs;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        pairs.append(it.key() + u'=' + it.value());
    return pairs.join(u',');
}

} // namespace

class PlacesTreeTest final : public QObject
{
    Q_OBJECT

private slots:
    void oneBadNodeFailsTheWholeTree_data();
    void oneBadNodeFailsTheWholeTree();
    void lookupsFindTheFirstMatchInTreeOrder_data();
    void lookupsFindTheFirstMatchInTreeOrder();
    void treeEncodesBackToItsKeys();
    void queryBuildsRequestAndEventMaps_data();
    void queryBuildsRequestAndEventMaps();
    void queryTellsAbsentFromEmpty();
    void locationLeadsToAPlaceQuery_data();
    void locationLeadsToAPlaceQuery();
    void coverThumbnailAppendsTheVariant_data();
    void coverThumbnailAppendsTheVariant();
};

void PlacesTreeTest::oneBadNodeFailsTheWholeTree_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("failingPath"); // empty when the tree decodes

    const auto withPlace = [](const QByteArray& place) {
        return R"({"countries": [], "featured": [)" + place + "]}";
    };
    const auto withRegion = [](const QByteArray& region) {
        return R"({"featured": [], "countries": [{"code": "FR", "name": "France", "slug": "fr", "photos": 1,)"
               R"( "regions": [)" +
               region + "]}]}";
    };

    QTest::newRow("empty tree") << QByteArray(R"({"featured": [], "countries": []})") << QString();
    QTest::newRow("no featured") << QByteArray(R"({"countries": []})") << u"$.featured"_s;
    QTest::newRow("no countries") << QByteArray(R"({"featured": []})") << u"$.countries"_s;
    QTest::newRow("tree as an array") << QByteArray("[]") << u"$"_s;
    QTest::newRow("country without name")
        << QByteArray(
               R"({"featured": [], "countries": [{"code": "FR", "slug": "fr", "photos": 1, "regions": []}]})")
        << u"$.countries[0].name"_s;
    QTest::newRow("place without slug")
        << withPlace(R"({"name": "N", "featured": true, "photos": 1})") << u"$.featured[0].slug"_s;
    QTest::newRow("featured as a number")
        << withPlace(R"({"name": "N", "slug": "n", "featured": 1, "photos": 1})")
        << u"$.featured[0].featured"_s;
    QTest::newRow("featured as text")
        << withPlace(R"({"name": "N", "slug": "n", "featured": "true", "photos": 1})")
        << u"$.featured[0].featured"_s;
    QTest::newRow("photos as text") << withPlace(
                                           R"({"name": "N", "slug": "n", "featured": true, "photos": "8"})")
                                    << u"$.featured[0].photos"_s;
    QTest::newRow("fractional photos")
        << withPlace(R"({"name": "N", "slug": "n", "featured": true, "photos": 8.5})")
        << u"$.featured[0].photos"_s;
    QTest::newRow("region without places")
        << withRegion(R"({"name": "P", "slug": "p", "photos": 1})") << u"$.countries[0].regions[0].places"_s;
    QTest::newRow("numeric state code")
        << withRegion(R"({"name": "P", "slug": "p", "photos": 1, "places": [], "state_code": 5})")
        << u"$.countries[0].regions[0].state_code"_s;
    QTest::newRow("cover without uuid")
        << withRegion(R"({"name": "P", "slug": "p", "photos": 1, "places": [], "cover": {"title": "t"}})")
        << u"$.countries[0].regions[0].cover.uuid"_s;
    QTest::newRow("bad place deep down")
        << withRegion(
               R"({"name": "P", "slug": "p", "photos": 1, "places": [{"name": "N", "slug": "n", "photos": 1}]})")
        << u"$.countries[0].regions[0].places[0].featured"_s;
}

void PlacesTreeTest::oneBadNodeFailsTheWholeTree()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, failingPath);

    QString error;
    const auto tree = PlacesTree::fromJson(test::jsonValue(json), &error);
    if (failingPath.isEmpty()) {
        QVERIFY2(tree, qPrintable(error));
    } else {
        QVERIFY(!tree);
        QVERIFY2(error.startsWith(failingPath + u": "_s), qPrintable(error));
    }
}

void PlacesTreeTest::lookupsFindTheFirstMatchInTreeOrder_data()
{
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("slug");
    QTest::addColumn<QString>("found"); // names from the country down, empty for none

    QTest::newRow("country") << u"country"_s << QString() << u"fr"_s << u"France"_s;
    QTest::newRow("country, not the region of that slug")
        << u"country"_s << QString() << u"georgia"_s << u"Georgia (GE)"_s;
    QTest::newRow("unknown country") << u"country"_s << QString() << u"nowhere"_s << QString();
    QTest::newRow("region") << u"region"_s << u"fr"_s << u"provence"_s << u"Provence"_s;
    QTest::newRow("region sharing a country's slug")
        << u"region"_s << u"us"_s << u"georgia"_s << u"Georgia (GA)"_s;
    QTest::newRow("region of another country") << u"region"_s << u"fr"_s << u"georgia"_s << QString();
    QTest::newRow("region of an unknown country") << u"region"_s << u"xx"_s << u"provence"_s << QString();
    QTest::newRow("place, first of two") << u"place"_s << QString() << u"nice"_s << u"France/Provence/Nice"_s;
    QTest::newRow("place in a later country")
        << u"place"_s << QString() << u"savannah"_s << u"United States/Georgia (GA)/Savannah"_s;
    QTest::newRow("place only featured") << u"place"_s << QString() << u"lisbon"_s << QString();
    QTest::newRow("place by a region's slug") << u"place"_s << QString() << u"provence"_s << QString();
}

void PlacesTreeTest::lookupsFindTheFirstMatchInTreeOrder()
{
    QFETCH(QString, lookup);
    QFETCH(QString, country);
    QFETCH(QString, slug);
    QFETCH(QString, found);

    const PlacesTree tree = fixtureTree();
    const auto named = [](const QString& name, const QString& code) {
        return name == u"Georgia"_s ? name + u" ("_s + code + u')' : name;
    };
    QString result;
    if (lookup == u"country"_s) {
        if (const auto node = tree.country(slug))
            result = named(node->name, node->code);
    } else if (lookup == u"region"_s) {
        if (const auto node = tree.region(country, slug))
            result = named(node->name, node->stateCode.value_or(QString()));
    } else if (const auto match = tree.place(slug)) {
        result = match->country.name + u'/' +
                 named(match->region.name, match->region.stateCode.value_or(QString())) + u'/' +
                 match->place.name;
    }
    QCOMPARE(result, found);
}

void PlacesTreeTest::treeEncodesBackToItsKeys()
{
    const PlacesTree tree = fixtureTree();
    const RegionNode brittany = tree.countries.at(0).regions.at(1);
    QVERIFY(!brittany.cover);
    // Absent optionals are left out, not written as null.
    QCOMPARE(
        test::jsonText(brittany.toJson()),
        QByteArray(R"({"name":"Brittany","photos":10,"places":[{"featured":false,"name":"Nice in Brittany",)"
                   R"("photos":1,"slug":"nice"}],"slug":"bretagne"})"));

    const auto again = PlacesTree::fromJson(tree.toJson());
    QVERIFY(again);
    QCOMPARE(again->countries, tree.countries);
    QCOMPARE(again->featured, tree.featured);
    QCOMPARE(again->featured.at(0).regionSlug, u"lisboa"_s);
    QCOMPARE(again->countries.at(0).cover->title, u"Coast"_s);
}

void PlacesTreeTest::queryBuildsRequestAndEventMaps_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("queryItems");
    QTest::addColumn<QString>("eventProperties");

    QTest::newRow("place with its country and region")
        << u"fr"_s << u"provence"_s << u"nice"_s << u"place=nice"_s
        << u"country=fr,level=place,place=nice,region=provence"_s;
    QTest::newRow("country and region")
        << u"fr"_s << u"provence"_s << QString() << u"country=fr,region=provence"_s
        << u"country=fr,level=region,region=provence"_s;
    QTest::newRow("region only") << QString() << u"provence"_s << QString() << u"region=provence"_s
                                 << u"level=region,region=provence"_s;
    QTest::newRow("country only") << u"fr"_s << QString() << QString() << u"country=fr"_s
                                  << u"country=fr,level=country"_s;
    QTest::newRow("nothing") << QString() << QString() << QString() << QString() << u"level=country"_s;
    QTest::newRow("empty place still counts")
        << u"fr"_s << QString() << u""_s << u"place="_s << u"country=fr,level=place,place="_s;
}

void PlacesTreeTest::queryBuildsRequestAndEventMaps()
{
    QFETCH(QString, country);
    QFETCH(QString, region);
    QFETCH(QString, place);
    QFETCH(QString, queryItems);
    QFETCH(QString, eventProperties);

    const PlaceQuery query{present(country), present(region), present(place)};
    QCOMPARE(mapText(query.queryItems()), queryItems);
    QCOMPARE(mapText(query.eventProperties()), eventProperties);
}

void PlacesTreeTest::queryTellsAbsentFromEmpty()
{
    const PlaceQuery absent{std::nullopt, u"r"_s, std::nullopt};
    const PlaceQuery empty{u""_s, u"r"_s, std::nullopt};
    QVERIFY(absent != empty);
    QCOMPARE(PlaceQuery::fromJson(empty.toJson()), empty);
    QCOMPARE(PlaceQuery::fromJson(absent.toJson()), absent);
    QCOMPARE(qHash(PlaceQuery{std::nullopt, u"r"_s, std::nullopt}), qHash(absent));
}

void PlacesTreeTest::locationLeadsToAPlaceQuery_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QString>("query"); // the query's JSON, "none" when there is no query
    QTest::addColumn<QString>("name");  // the link's name, "none" when there is none

    QTest::newRow("full location") << QByteArray(R"({"country": {"name": "France", "slug": "fr"},)"
                                                 R"( "region": {"name": "Provence", "slug": "provence"},)"
                                                 R"( "place": {"name": "Nice", "slug": "nice"}})")
                                   << uR"({"place":"nice"})"_s << u"Nice"_s;
    QTest::newRow("place without country")
        << QByteArray(
               R"({"region": {"name": "Provence", "slug": "provence"}, "place": {"name": "Nice", "slug": "nice"}})")
        << uR"({"place":"nice"})"_s << u"Nice"_s;
    QTest::newRow("country and region")
        << QByteArray(R"({"country": {"name": "France", "slug": "fr"},)"
                      R"( "region": {"name": "Provence", "slug": "provence"}})")
        << uR"({"country":"fr","region":"provence"})"_s << u"Provence"_s;
    QTest::newRow("country only") << QByteArray(R"({"country": {"name": "France", "slug": "fr"}})")
                                  << uR"({"country":"fr"})"_s << u"France"_s;
    QTest::newRow("region only") << QByteArray(R"({"region": {"name": "Provence", "slug": "provence"}})")
                                 << u"none"_s << u"Provence"_s;
    QTest::newRow("empty place name") << QByteArray(R"({"country": {"name": "France", "slug": "fr"},)"
                                                    R"( "place": {"name": "", "slug": "nice"}})")
                                      << uR"({"place":"nice"})"_s << u"France"_s;
    QTest::newRow("nothing") << QByteArray("{}") << u"none"_s << u"none"_s;
}

void PlacesTreeTest::locationLeadsToAPlaceQuery()
{
    QFETCH(QByteArray, location);
    QFETCH(QString, query);
    QFETCH(QString, name);

    QString error;
    const auto decoded = PhotoLocation::fromJson(test::jsonValue(location), &error);
    QVERIFY2(decoded, qPrintable(error));
    const auto placeQuery = decoded->placeQuery();
    QCOMPARE(placeQuery ? QString::fromUtf8(test::jsonText(placeQuery->toJson())) : u"none"_s, query);
    QCOMPARE(decoded->placeName().value_or(u"none"_s), name);
}

void PlacesTreeTest::coverThumbnailAppendsTheVariant_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("thumbnail");

    QTest::newRow("base with slash") << u"https://cdn.lumivale.com/c1/"_s
                                     << u"https://cdn.lumivale.com/c1/640x360.jpg"_s;
    QTest::newRow("base without slash")
        << u"https://cdn.lumivale.com/c1"_s << u"https://cdn.lumivale.com/c1640x360.jpg"_s;
    QTest::newRow("loopback http") << u"http://127.0.0.1:8080/c1/"_s
                                   << u"http://127.0.0.1:8080/c1/640x360.jpg"_s;
    QTest::newRow("file base") << u"file:///home/u/"_s << QString();
    QTest::newRow("empty base") << u""_s << QString();
    QTest::newRow("no base") << QString() << QString();
}

void PlacesTreeTest::coverThumbnailAppendsTheVariant()
{
    QFETCH(QString, base);
    QFETCH(QString, thumbnail);

    const PlaceCover cover{u"c1"_s, std::nullopt, present(base)};
    const auto url = cover.thumbnailURL();
    QCOMPARE(url ? url->toString() : QString(), thumbnail);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlacesTreeTest)
#include "PlacesTreeTest.moc"
