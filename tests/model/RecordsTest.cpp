#include "model/Album.h"
#include "model/Category.h"
#include "model/JsonReader.h"
#include "model/Medium.h"
#include "model/ServerAlert.h"
#include "model/User.h"
#include "support/JsonText.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Decodes `json` as the record named `type`; only success and the failure text matter here.
bool decodeAs(const QString& type, const QJsonValue& json, QString* error)
{
    if (type == u"User"_s)
        return User::fromJson(json, error).has_value();
    if (type == u"Medium"_s)
        return Medium::fromJson(json, error).has_value();
    if (type == u"Album"_s)
        return Album::fromJson(json, error).has_value();
    if (type == u"Category"_s)
        return Category::fromJson(json, error).has_value();
    if (type == u"Categories"_s)
        return Category::listFromJson(json, error).has_value();
    if (type == u"ServerAlert"_s)
        return ServerAlert::fromJson(json, error).has_value();
    if (type == u"SignInResponse"_s)
        return SignInResponse::fromJson(json, error).has_value();
    if (type == u"RefreshResponse"_s)
        return RefreshResponse::fromJson(json, error).has_value();
    if (type == u"UserResponse"_s)
        return UserResponse::fromJson(json, error).has_value();
    if (type == u"AlbumsResponse"_s)
        return AlbumsResponse::fromJson(json, error).has_value();
    if (type == u"MediaResponse"_s)
        return MediaResponse::fromJson(json, error).has_value();
    if (type == u"PhotoResponse"_s)
        return PhotoResponse::fromJson(json, error).has_value();
    if (type == u"FavoritesResponse"_s)
        return FavoritesResponse::fromJson(json, error).has_value();
    if (type == u"AlertsResponse"_s)
        return AlertsResponse::fromJson(json, error).has_value();
    if (type == u"DeleteAccountResponse"_s)
        return DeleteAccountResponse::fromJson(json, error).has_value();
    qFatal("unknown record type in a test table");
}

} // namespace

class RecordsTest final : public QObject
{
    Q_OBJECT

private slots:
    void decodeSucceedsOrNamesTheFailingPath_data();
    void decodeSucceedsOrNamesTheFailingPath();
    void userReadsEachKeyOnItsOwn_data();
    void userReadsEachKeyOnItsOwn();
    void albumIsTolerantExceptForItsId_data();
    void albumIsTolerantExceptForItsId();
    void mediumRoundTripsThroughItsJson();
    void envelopesCarryTheirRecords();
    void answerBodiesAreDecodedGenerically();
    void equalityTellsAbsentFromEmpty();
};

void RecordsTest::decodeSucceedsOrNamesTheFailingPath_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("json");
    // Empty when the decode succeeds; otherwise the coding path the failure text starts with.
    QTest::addColumn<QString>("failingPath");

    QTest::newRow("user that is an array") << u"User"_s << QByteArray("[]") << u"$"_s;
    QTest::newRow("user that is text") << u"User"_s << QByteArray("\"x\"") << u"$"_s;
    QTest::newRow("user with wrongly typed keys")
        << u"User"_s << QByteArray(R"({"email": 42, "flags": []})") << QString();

    QTest::newRow("medium, uuid only") << u"Medium"_s << QByteArray(R"({"uuid": "a"})") << QString();
    QTest::newRow("medium, null optionals")
        << u"Medium"_s << QByteArray(R"({"uuid": "a", "title": null, "location": null})") << QString();
    QTest::newRow("medium without uuid") << u"Medium"_s << QByteArray(R"({"title": "t"})") << u"$.uuid"_s;
    QTest::newRow("medium with null uuid") << u"Medium"_s << QByteArray(R"({"uuid": null})") << u"$.uuid"_s;
    QTest::newRow("medium with numeric title")
        << u"Medium"_s << QByteArray(R"({"uuid": "a", "title": 7})") << u"$.title"_s;
    QTest::newRow("medium with a place lacking its slug")
        << u"Medium"_s << QByteArray(R"({"uuid": "a", "location": {"place": {"name": "Nice"}}})")
        << u"$.location.place.slug"_s;
    QTest::newRow("medium with a country as text")
        << u"Medium"_s << QByteArray(R"({"uuid": "a", "location": {"country": "France"}})")
        << u"$.location.country"_s;

    QTest::newRow("album with integer id") << u"Album"_s << QByteArray(R"({"id": 12})") << QString();
    QTest::newRow("album with id written 12.0") << u"Album"_s << QByteArray(R"({"id": 12.0})") << QString();
    QTest::newRow("album with id as text") << u"Album"_s << QByteArray(R"({"id": "12"})") << u"$.id"_s;
    QTest::newRow("album with fractional id") << u"Album"_s << QByteArray(R"({"id": 12.5})") << u"$.id"_s;
    QTest::newRow("album with id beyond 64 bits") << u"Album"_s << QByteArray(R"({"id": 1e30})") << u"$.id"_s;
    QTest::newRow("album with null id") << u"Album"_s << QByteArray(R"({"id": null})") << u"$.id"_s;
    QTest::newRow("album without id") << u"Album"_s << QByteArray(R"({"title": "x"})") << u"$.id"_s;
    QTest::newRow("album that is a number") << u"Album"_s << QByteArray("12") << u"$"_s;

    QTest::newRow("category") << u"Category"_s << QByteArray(R"({"title": "T", "channel_path": "p"})")
                              << QString();
    QTest::newRow("category without path")
        << u"Category"_s << QByteArray(R"({"title": "T"})") << u"$.channel_path"_s;
    QTest::newRow("categories with a bad second entry")
        << u"Categories"_s << QByteArray(R"([{"title": "T", "channel_path": "p"}, {"title": 1}])")
        << u"$[1].title"_s;
    QTest::newRow("categories as an object") << u"Categories"_s << QByteArray("{}") << u"$"_s;
    QTest::newRow("empty categories") << u"Categories"_s << QByteArray("[]") << QString();

    QTest::newRow("alert without keys") << u"ServerAlert"_s << QByteArray("{}") << QString();
    QTest::newRow("alert with a numeric line")
        << u"ServerAlert"_s << QByteArray(R"({"lines": ["a", 1]})") << u"$.lines[1]"_s;
    QTest::newRow("alert with a numeric link")
        << u"ServerAlert"_s << QByteArray(R"({"link": 5})") << u"$.link"_s;

    QTest::newRow("sign-in without token")
        << u"SignInResponse"_s << QByteArray(R"({"user": {}})") << u"$.token"_s;
    QTest::newRow("sign-in with the user as an array")
        << u"SignInResponse"_s << QByteArray(R"({"token": "t", "user": []})") << u"$.user"_s;
    QTest::newRow("sign-in with a sloppy user")
        << u"SignInResponse"_s << QByteArray(R"({"token": "t", "user": {"email": 1}})") << QString();
    QTest::newRow("refresh without token") << u"RefreshResponse"_s << QByteArray("{}") << QString();
    QTest::newRow("refresh with numeric token")
        << u"RefreshResponse"_s << QByteArray(R"({"token": 5})") << u"$.token"_s;
    QTest::newRow("user answer without user") << u"UserResponse"_s << QByteArray("{}") << u"$.user"_s;
    QTest::newRow("albums answer without albums") << u"AlbumsResponse"_s << QByteArray("{}") << u"$.albums"_s;
    QTest::newRow("albums answer with a text id")
        << u"AlbumsResponse"_s << QByteArray(R"({"albums": [{"id": 1}, {"id": "2"}]})")
        << u"$.albums[1].id"_s;
    QTest::newRow("media answer without keys") << u"MediaResponse"_s << QByteArray("{}") << QString();
    QTest::newRow("media answer with null media")
        << u"MediaResponse"_s << QByteArray(R"({"media": null})") << QString();
    QTest::newRow("media answer with one bad photo")
        << u"MediaResponse"_s << QByteArray(R"({"media": [{"uuid": "a"}, {"uuid": "b", "title": 7}]})")
        << u"$.media[1].title"_s;
    QTest::newRow("media answer with media as an object")
        << u"MediaResponse"_s << QByteArray(R"({"media": {}})") << u"$.media"_s;
    QTest::newRow("photo answer with a bad photo")
        << u"PhotoResponse"_s << QByteArray(R"({"medium": {"uuid": 5}})") << u"$.medium.uuid"_s;
    QTest::newRow("favorites with a numeric id")
        << u"FavoritesResponse"_s << QByteArray(R"({"uuids": ["a", 2]})") << u"$.uuids[1]"_s;
    QTest::newRow("alerts answer for another platform")
        << u"AlertsResponse"_s << QByteArray(R"({"macos": {"title": 3}})") << QString();
    QTest::newRow("alerts answer with a bad alert")
        << u"AlertsResponse"_s << QByteArray(R"({"linux": {"title": 3}})") << u"$.linux.title"_s;
    QTest::newRow("delete answer without status")
        << u"DeleteAccountResponse"_s << QByteArray("{}") << u"$.status"_s;
}

void RecordsTest::decodeSucceedsOrNamesTheFailingPath()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, json);
    QFETCH(QString, failingPath);

    QString error;
    const bool decoded = decodeAs(type, test::jsonValue(json), &error);
    if (failingPath.isEmpty()) {
        QVERIFY2(decoded, qPrintable(error));
    } else {
        QVERIFY(!decoded);
        QVERIFY2(error.startsWith(failingPath + u": "_s), qPrintable(error));
    }
}

void RecordsTest::userReadsEachKeyOnItsOwn_data()
{
    QTest::addColumn<QByteArray>("json");
    // The user written back: absent settings are left out, text-or-number settings become text.
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("lenient flags")
        << QByteArray(R"({"paper_random": 1, "saver_random": "1", "saver_fit": "yes"})")
        << QByteArray(R"({"paper_random":true,"saver_fit":false,"saver_random":true})");
    QTest::newRow("flag words")
        << QByteArray(R"({"paper_random": "true", "saver_random": "TRUE", "saver_fit": ""})")
        << QByteArray(R"({"paper_random":true,"saver_fit":false,"saver_random":false})");
    QTest::newRow("flag numbers")
        << QByteArray(R"({"paper_random": 0, "saver_random": -3, "saver_fit": false})")
        << QByteArray(R"({"paper_random":false,"saver_fit":false,"saver_random":true})");
    QTest::newRow("flags that are no flag")
        << QByteArray(R"({"paper_random": null, "saver_random": 0.5, "saver_fit": {}})") << QByteArray("{}");
    QTest::newRow("numbers as text")
        << QByteArray(R"({"saver_pause": 3, "calendar_past": -1, "calendar_future": 2})")
        << QByteArray(R"({"calendar_future":"2","calendar_past":"-1","saver_pause":"3"})");
    QTest::newRow("numbers that are no integer")
        << QByteArray(R"({"calendar_opacity": 0.5, "saver_pause": true})") << QByteArray("{}");
    QTest::newRow("text where text is due") << QByteArray(R"({"saver_pause": "2", "calendar_opacity": "80"})")
                                            << QByteArray(R"({"calendar_opacity":"80","saver_pause":"2"})");
    QTest::newRow("numbers where only text counts")
        << QByteArray(R"({"email": 42, "saver_idle": 5, "rotate_desktop": 60})") << QByteArray("{}");
    QTest::newRow("nulls and unknown keys")
        << QByteArray(R"({"first_name": null, "favourite_colour": "red"})") << QByteArray("{}");
    QTest::newRow("account")
        << QByteArray(
               R"({"uuid": "u1", "email": "a@b.c", "first_name": "Ada", "last_name": "L", "flags": "x|y",)"
               R"( "next_survey_at": "2024-01-01T00:00:00Z", "playlists_updated_at": "2023"})")
        << QByteArray(
               R"({"email":"a@b.c","first_name":"Ada","flags":"x|y","last_name":"L",)"
               R"("next_survey_at":"2024-01-01T00:00:00Z","playlists_updated_at":"2023","uuid":"u1"})");
    QTest::newRow("wallpaper settings")
        << QByteArray(
               R"({"rotate_desktop": "1hour", "multi_display_next_paper": "same", "fit_desktop": "fill",)"
               R"( "lumivale_title_size": "small", "imported_photos_fit": "fit"})")
        << QByteArray(R"({"fit_desktop":"fill","imported_photos_fit":"fit","lumivale_title_size":"small",)"
                      R"("multi_display_next_paper":"same","rotate_desktop":"1hour"})");
    QTest::newRow("saver and app settings")
        << QByteArray(R"({"saver_idle": "5minutes", "saver_show": "random", "saver_title": "none",)"
                      R"( "notifications": "all", "show_startup": "true"})")
        << QByteArray(R"({"notifications":"all","saver_idle":"5minutes","saver_show":"random",)"
                      R"("saver_title":"none","show_startup":"true"})");
    QTest::newRow("calendar settings")
        << QByteArray(R"({"calendar_size": "m", "calendar_theme": "dark", "calendar_position": "tr",)"
                      R"( "calendar_start": "monday"})")
        << QByteArray(R"({"calendar_position":"tr","calendar_size":"m","calendar_start":"monday",)"
                      R"("calendar_theme":"dark"})");
}

void RecordsTest::userReadsEachKeyOnItsOwn()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, encoded);

    const auto user = User::fromJson(test::jsonValue(json));
    QVERIFY(user);
    QCOMPARE(test::jsonText(user->toJson()), encoded);
    // What was written back reads as the same user.
    QCOMPARE(User::fromJson(user->toJson()), user);
}

void RecordsTest::albumIsTolerantExceptForItsId_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("id only") << QByteArray(R"({"id": 12})")
                             << QByteArray(R"({"id":12,"title":"","title_fragment":""})");
    QTest::newRow("wrongly typed keys")
        << QByteArray(
               R"({"id": 12, "title": null, "title_fragment": 7, "count": "3", "count2": 1,)"
               R"( "external_id": 9, "local_path": false, "include_in_paper": [], "include_in_saver": "yes"})")
        << QByteArray(R"({"id":12,"include_in_saver":false,"title":"","title_fragment":""})");
    QTest::newRow("every key")
        << QByteArray(
               R"({"id": 7, "title": "Trips", "title_fragment": "trips", "include_in_paper": 1,)"
               R"( "include_in_saver": "true", "count": 40, "external_id": "e7", "local_path": "/p/Trips"})")
        << QByteArray(
               R"({"count":40,"external_id":"e7","id":7,"include_in_paper":true,"include_in_saver":true,)"
               R"("local_path":"/p/Trips","title":"Trips","title_fragment":"trips"})");
    QTest::newRow("integral doubles") << QByteArray(R"({"id": 12.0, "count": 4.0})")
                                      << QByteArray(R"({"count":4,"id":12,"title":"","title_fragment":""})");
}

void RecordsTest::albumIsTolerantExceptForItsId()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, encoded);

    const auto album = Album::fromJson(test::jsonValue(json));
    QVERIFY(album);
    QCOMPARE(test::jsonText(album->toJson()), encoded);
    QCOMPARE(Album::fromJson(album->toJson()), album);
}

void RecordsTest::mediumRoundTripsThroughItsJson()
{
    const QByteArray full =
        R"({"channel_title":"Alps","description":"d","local_path":"/l.jpg","local_thumb":"/t.jpg",)"
        R"("location":{"country":{"name":"France","slug":"fr"},"place":{"name":"Nice","slug":"nice"}},)"
        R"("secure_base_url":"https://cdn.lumivale.com/m/1/","source_url":"https://x.org/1","title":"Peak","uuid":"U1"})";
    const auto medium = Medium::fromJson(test::jsonValue(full));
    QVERIFY(medium);
    QCOMPARE(medium->location->place->slug, u"nice"_s);
    QVERIFY(!medium->location->region);
    QCOMPARE(test::jsonText(medium->toJson()), full);
    QCOMPARE(Medium::fromJson(medium->toJson()), medium);

    // Absent keys stay absent rather than turning into nulls.
    QCOMPARE(test::jsonText(Medium{u"U2"_s}.toJson()), QByteArray(R"({"uuid":"U2"})"));
}

void RecordsTest::envelopesCarryTheirRecords()
{
    const auto signIn = SignInResponse::fromJson(
        test::jsonValue(R"({"token": "tok", "user": {"email": "a@b.c", "saver_pause": 3}})"));
    QVERIFY(signIn);
    QCOMPARE(signIn->token, u"tok"_s);
    QCOMPARE(signIn->user.saverPause, u"3"_s);

    const auto alerts = AlertsResponse::fromJson(test::jsonValue(
        R"({"linux": {"uuid": "a1", "title": "Hi", "lines": ["one", "two"], "link": "https://l", "link_title": "More"}})"));
    QVERIFY(alerts && alerts->alert);
    QCOMPARE(alerts->alert->lines, QStringList({u"one"_s, u"two"_s}));
    QCOMPARE(alerts->alert->linkTitle, u"More"_s);
    QVERIFY(!AlertsResponse::fromJson(test::jsonValue(R"({"macos": {"title": "Mac only"}})"))->alert);

    const auto media =
        MediaResponse::fromJson(test::jsonValue(R"({"media": [{"uuid": "a"}, {"uuid": "b"}]})"));
    QVERIFY(media && media->media);
    QCOMPARE(media->media->size(), 2);
    QCOMPARE(media->media->at(1).uuid, u"b"_s);
    QVERIFY(!MediaResponse::fromJson(test::jsonValue("{}"))->media);

    const auto favorites = FavoritesResponse::fromJson(test::jsonValue(R"({"uuids": ["a", "b"]})"));
    QCOMPARE(favorites->uuids, QStringList({u"a"_s, u"b"_s}));
}

void RecordsTest::answerBodiesAreDecodedGenerically()
{
    QString error;
    const auto categories = JsonReader::decode<QList<Category>>(
        QByteArray(R"([{"title": "Nature", "channel_path": "nature"}])"), &error);
    QVERIFY2(categories, qPrintable(error));
    QCOMPARE(*categories, QList<Category>({{u"Nature"_s, u"nature"_s}}));

    const auto album = JsonReader::decode<Album>(QByteArray(R"({"id": 3, "title": "New"})"), &error);
    QVERIFY(album);
    QCOMPARE(album->title, u"New"_s);

    QVERIFY(!JsonReader::decode<MediaResponse>(QByteArray("{\"media\": [}"), &error));
    QVERIFY2(error.startsWith(u"$: not valid JSON"_s), qPrintable(error));
    // An empty body (a 204 answer) is no record either.
    QVERIFY(!JsonReader::decode<UserResponse>(QByteArray(), &error));
}

void RecordsTest::equalityTellsAbsentFromEmpty()
{
    User absent;
    User empty;
    empty.email = QString();
    QVERIFY(absent != empty);
    QCOMPARE(User::fromJson(test::jsonValue(R"({"email": ""})")), empty);

    Medium nice{u"a"_s};
    nice.location = PhotoLocation{std::nullopt, std::nullopt, PhotoLocation::Named{u"Nice"_s, u"nice"_s}};
    Medium elsewhere = nice;
    QCOMPARE(qHash(nice), qHash(elsewhere));
    elsewhere.location->place->slug = u"nice-2"_s;
    QVERIFY(nice != elsewhere);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RecordsTest)
#include "RecordsTest.moc"
