#include "support/SandboxFixture.h"

#include <QDateTime>
#include <QImage>
#include <QJsonDocument>
#include <QUuid>
#include <QtTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace lumi::test {

namespace {

const QStringList allUserKeys{
    u"uuid"_s,
    u"email"_s,
    u"flags"_s,
    u"first_name"_s,
    u"last_name"_s,
    u"rotate_desktop"_s,
    u"paper_random"_s,
    u"multi_display_next_paper"_s,
    u"fit_desktop"_s,
    u"lumivale_title_size"_s,
    u"notifications"_s,
    u"show_startup"_s,
    u"playlists_updated_at"_s,
    u"imported_photos_fit"_s,
    u"next_survey_at"_s,
    u"saver_idle"_s,
    u"saver_show"_s,
    u"saver_pause"_s,
    u"saver_random"_s,
    u"saver_fit"_s,
    u"saver_title"_s,
    u"calendar_size"_s,
    u"calendar_theme"_s,
    u"calendar_position"_s,
    u"calendar_opacity"_s,
    u"calendar_start"_s,
    u"calendar_past"_s,
    u"calendar_future"_s,
};

QJsonObject object(const QByteArray& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qFatal("bad JSON object in a test table: %s", text.constData());
    return document.object();
}

} // namespace

class SandboxTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void signIn_data();
    void signIn();
    void accountCreation_data();
    void accountCreation();
    void userUpdateMergesTheSentKeys();
    void authentication_data();
    void authentication();
    void playlistChangesStampTheUser_data();
    void playlistChangesStampTheUser();
    void stateSurvivesRestartButNotReset();
    void photoVariants_data();
    void photoVariants();
    void faults_data();
    void faults();
    void faultTimesCountHits();
    void requestRecord_data();
    void requestRecord();

private:
    QJsonObject albumByFragment(const QString& token, const QString& fragment);
    QString playlistsUpdatedAt(const QString& token);
    QString firstPhotoBaseUrl(const QString& token);

    std::unique_ptr<SandboxFixture> m_sandbox;
    std::optional<QByteArray> m_outerApiUrl;
};

void SandboxTest::initTestCase()
{
    if (qEnvironmentVariableIsSet("LUMIVALE_API_URL"))
        m_outerApiUrl = qgetenv("LUMIVALE_API_URL");
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    QCOMPARE(qgetenv("LUMIVALE_API_URL"), m_sandbox->baseUrl().toEncoded());
    QVERIFY(m_sandbox->baseUrl().toString().startsWith(u"http://127.0.0.1:"_s));
    QVERIFY(m_sandbox->baseUrl().toString().endsWith(u"/api/v6"_s));
}

void SandboxTest::init()
{
    m_sandbox->reset();
}

void SandboxTest::cleanupTestCase()
{
    m_sandbox.reset();
    QCOMPARE(qEnvironmentVariableIsSet("LUMIVALE_API_URL"), m_outerApiUrl.has_value());
    if (m_outerApiUrl)
        QCOMPARE(qgetenv("LUMIVALE_API_URL"), *m_outerApiUrl);
}

QJsonObject SandboxTest::albumByFragment(const QString& token, const QString& fragment)
{
    const QJsonArray albums = m_sandbox->call("GET", u"albums?page=1&per_page=500"_s, token)
                                  .json()
                                  .toObject()
                                  .value(u"albums"_s)
                                  .toArray();
    for (const QJsonValue& album : albums) {
        if (album[u"title_fragment"_s].toString() == fragment)
            return album.toObject();
    }
    return {};
}

QString SandboxTest::playlistsUpdatedAt(const QString& token)
{
    return m_sandbox->call("GET", u"users"_s, token).json()[u"user"_s][u"playlists_updated_at"_s].toString();
}

QString SandboxTest::firstPhotoBaseUrl(const QString& token)
{
    return m_sandbox->call("GET", u"media/today?page=1&per_page=10"_s, token)
        .json()[u"media"_s][0][u"secure_base_url"_s]
        .toString();
}

void SandboxTest::signIn_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("userKeys");

    QTest::newRow("demo account, every User key")
        << SandboxFixture::demoEmail << SandboxFixture::demoPassword << 200 << allUserKeys;
    QTest::newRow("second account") << SandboxFixture::secondEmail << SandboxFixture::secondPassword << 200
                                    << QStringList{u"uuid"_s, u"email"_s, u"first_name"_s, u"last_name"_s};
    QTest::newRow("e-mail in another case")
        << u"Demo@Lumivale.TEST"_s << SandboxFixture::demoPassword << 200 << QStringList{u"uuid"_s};
    QTest::newRow("wrong password") << SandboxFixture::demoEmail << u"lumivale-demo "_s << 401
                                    << QStringList{};
    QTest::newRow("password of the other account")
        << SandboxFixture::demoEmail << SandboxFixture::secondPassword << 401 << QStringList{};
    QTest::newRow("unknown account") << u"nobody@lumivale.test"_s << u"whatever"_s << 401 << QStringList{};
    QTest::newRow("blanks around the e-mail are not trimmed")
        << u" demo@lumivale.test"_s << SandboxFixture::demoPassword << 401 << QStringList{};
    QTest::newRow("no password") << SandboxFixture::demoEmail << QString() << 422 << QStringList{};
}

void SandboxTest::signIn()
{
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(int, status);
    QFETCH(QStringList, userKeys);

    const SandboxFixture::Reply reply = m_sandbox->call("POST", u"tokens"_s, {},
                                                        {{u"email"_s, email},
                                                         {u"password"_s, password},
                                                         {u"app"_s, u"desktop"_s},
                                                         {u"desktop_version"_s, u"0.1.0"_s}});
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.contentType, QByteArray("application/json"));
    const QJsonObject answer = reply.json().toObject();
    if (status != 200) {
        QVERIFY(!answer.value(u"error"_s).toString().isEmpty());
        QVERIFY(!answer.contains(u"token"_s));
        return;
    }
    const QString token = answer.value(u"token"_s).toString();
    QVERIFY(!token.isEmpty());
    const QJsonObject user = answer.value(u"user"_s).toObject();
    for (const QString& key : userKeys)
        QVERIFY2(user.contains(key), qPrintable(key));
    QCOMPARE(user.value(u"email"_s).toString().toLower(), email.toLower());
    QVERIFY(!QUuid::fromString(user.value(u"uuid"_s).toString()).isNull());

    // The token opens the same account, and a refreshed token does too.
    QCOMPARE(m_sandbox->call("GET", u"users"_s, token).json()[u"user"_s].toObject(), user);
    const QString refreshed =
        m_sandbox->call("POST", u"tokens/refresh_token"_s, token).json()[u"token"_s].toString();
    QVERIFY(!refreshed.isEmpty() && refreshed != token);
    QCOMPARE(m_sandbox->call("GET", u"users"_s, refreshed).json()[u"user"_s][u"uuid"_s], user[u"uuid"_s]);
}

void SandboxTest::accountCreation_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("code");

    QTest::newRow("new address") << u"new.person@example.test"_s << 200 << QString();
    QTest::newRow("undeliverable domain") << u"someone@invalid.test"_s << 422 << u"EMAIL_DOMAIN"_s;
    QTest::newRow("address already taken") << SandboxFixture::demoEmail << 422 << u"EMAIL_TAKEN"_s;
}

void SandboxTest::accountCreation()
{
    QFETCH(QString, email);
    QFETCH(int, status);
    QFETCH(QString, code);

    const QJsonObject body{{u"user"_s, QJsonObject{{u"first_name"_s, u"Nia"_s},
                                                   {u"last_name"_s, u"New"_s},
                                                   {u"email"_s, email},
                                                   {u"password"_s, u"secret-1"_s}}},
                           {u"app"_s, u"desktop-linux"_s},
                           {u"create_sampler"_s, false}};
    const SandboxFixture::Reply reply = m_sandbox->call("POST", u"users"_s, {}, body);
    QCOMPARE(reply.status, status);
    const QJsonObject answer = reply.json().toObject();
    if (status != 200) {
        QCOMPARE(answer.value(u"code"_s).toString(), code);
        QVERIFY(!answer.value(u"error"_s).toString().isEmpty());
        return;
    }
    QVERIFY(!answer.value(u"token"_s).toString().isEmpty());
    QCOMPARE(answer[u"user"_s][u"email"_s].toString(), email);
    QCOMPARE(m_sandbox->signInToken(email, u"secret-1"_s).isEmpty(), false);
    // A new account sees the onboarding alert first, under the Linux key.
    QCOMPARE(m_sandbox->call("GET", u"alerts"_s, answer.value(u"token"_s).toString())
                 .json()[u"linux"_s][u"uuid"_s]
                 .toString(),
             u"onboarding"_s);
}

void SandboxTest::userUpdateMergesTheSentKeys()
{
    const QString token = m_sandbox->signInToken();
    const QJsonObject before = m_sandbox->call("GET", u"users"_s, token).json()[u"user"_s].toObject();

    const SandboxFixture::Reply reply = m_sandbox->call(
        "PUT", u"users"_s, token, object(R"({"user": {"rotate_desktop": "20minutes", "calendar_size": null,
                                            "desktop_os": "linux", "desktop_version": "0.1.0"}})"));
    QCOMPARE(reply.status, 200);
    QJsonObject expected = before;
    expected.insert(u"rotate_desktop"_s, u"20minutes"_s);
    expected.remove(u"calendar_size"_s);
    QCOMPARE(reply.json()[u"user"_s].toObject(), expected);
    QCOMPARE(m_sandbox->call("GET", u"users"_s, token).json()[u"user"_s].toObject(), expected);
}

void SandboxTest::authentication_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("token"); // "valid" is replaced by a real token
    QTest::addColumn<int>("status");

    QTest::newRow("categories need no token")
        << QByteArray("GET") << u"configuration/categories"_s << QString() << 200;
    QTest::newRow("user without token") << QByteArray("GET") << u"users"_s << QString() << 401;
    QTest::newRow("user with an unknown token") << QByteArray("GET") << u"users"_s << u"lv_0000"_s << 401;
    QTest::newRow("user with a token") << QByteArray("GET") << u"users"_s << u"valid"_s << 200;
    QTest::newRow("albums without token") << QByteArray("GET") << u"albums"_s << QString() << 401;
    QTest::newRow("media without token") << QByteArray("GET") << u"media/today"_s << QString() << 401;
    QTest::newRow("places without token") << QByteArray("GET") << u"places"_s << QString() << 401;
    QTest::newRow("favorite without token")
        << QByteArray("POST") << u"albums/favorites"_s << QString() << 401;
    QTest::newRow("refresh without token")
        << QByteArray("POST") << u"tokens/refresh_token"_s << QString() << 401;
    QTest::newRow("alerts without token") << QByteArray("GET") << u"alerts"_s << QString() << 401;
}

void SandboxTest::authentication()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QString, token);
    QFETCH(int, status);

    if (token == u"valid")
        token = m_sandbox->signInToken();
    const SandboxFixture::Reply reply = m_sandbox->call(method, path, token);
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.contentType, QByteArray("application/json"));
    if (status == 401)
        QVERIFY(!reply.json()[u"error"_s].toString().isEmpty());
    if (path == u"configuration/categories") {
        const QJsonArray categories = reply.json().toArray();
        QVERIFY(categories.size() >= 8);
        for (const QJsonValue& category : categories) {
            QVERIFY(!category[u"title"_s].toString().isEmpty());
            QVERIFY(!category[u"channel_path"_s].toString().isEmpty());
        }
    }
}

void SandboxTest::playlistChangesStampTheUser_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path"); // $member and $other are photos in and not in "Editor's Picks"
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("presentFragment");
    QTest::addColumn<int>("presentCount");
    QTest::addColumn<QString>("goneFragment");

    QTest::newRow("create") << QByteArray("POST") << u"albums"_s
                            << QByteArray(R"({"playlist": "Road Trip: 2024!", "local": ""})")
                            << u"road-trip--2024-"_s << 0 << QString();
    QTest::newRow("rename") << QByteArray("PUT") << u"albums/mountain-mornings"_s
                            << QByteArray(R"({"renamed": "Alpine Dawn", "local": ""})") << u"alpine-dawn"_s
                            << 24 << u"mountain-mornings"_s;
    QTest::newRow("mark for the wallpaper")
        << QByteArray("PUT") << u"albums/include"_s
        << QByteArray(R"({"playlist": "Editor's Picks", "type": "paper", "included": true})")
        << u"editor-s-picks"_s << 20 << QString();
    QTest::newRow("add a photo") << QByteArray("POST") << u"albums/editor-s-picks"_s
                                 << QByteArray(R"({"uuid": "$other"})") << u"editor-s-picks"_s << 21
                                 << QString();
    QTest::newRow("add a favorite") << QByteArray("POST") << u"albums/favorites"_s
                                    << QByteArray(R"({"uuid": "$other"})") << u"favorites"_s << 13
                                    << QString();
    QTest::newRow("remove a photo") << QByteArray("DELETE")
                                    << u"albums?playlist=Editor%27s%20Picks&uuid=$member"_s << QByteArray()
                                    << u"editor-s-picks"_s << 19 << QString();
    QTest::newRow("delete") << QByteArray("DELETE") << u"albums?playlist=Mountain%20Mornings"_s
                            << QByteArray() << QString() << 0 << u"mountain-mornings"_s;
}

void SandboxTest::playlistChangesStampTheUser()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(QString, presentFragment);
    QFETCH(int, presentCount);
    QFETCH(QString, goneFragment);

    const QString token = m_sandbox->signInToken();
    const QJsonArray members =
        m_sandbox->call("GET", u"media/playlists/editor-s-picks?page=1&per_page=500"_s, token)
            .json()[u"media"_s]
            .toArray();
    QCOMPARE(members.size(), 20);
    QStringList taken = m_sandbox->call("GET", u"albums/favorites/uuids?per_page=10000"_s, token)
                            .json()[u"uuids"_s]
                            .toVariant()
                            .toStringList();
    for (const QJsonValue& photo : members)
        taken.append(photo[u"uuid"_s].toString());
    QString other;
    for (const QJsonValue& photo :
         m_sandbox->call("GET", u"media/classic/latest?per_page=100"_s, token).json()[u"media"_s].toArray()) {
        if (!taken.contains(photo[u"uuid"_s].toString())) {
            other = photo[u"uuid"_s].toString();
            break;
        }
    }
    QVERIFY(!other.isEmpty());
    path.replace(u"$member"_s, members.first()[u"uuid"_s].toString());
    body.replace("$other", other.toUtf8());

    const QString before = playlistsUpdatedAt(token);
    const SandboxFixture::Reply reply =
        m_sandbox->call(method, path, token, body.isEmpty() ? QJsonObject() : object(body));
    QCOMPARE(reply.status, 200);
    const QString after = playlistsUpdatedAt(token);
    QVERIFY2(after != before, qPrintable(after));
    QVERIFY(QDateTime::fromString(after, Qt::ISODateWithMs) >
            QDateTime::fromString(before, Qt::ISODateWithMs));

    if (!presentFragment.isEmpty()) {
        const QJsonObject album = albumByFragment(token, presentFragment);
        QVERIFY2(!album.isEmpty(), qPrintable(presentFragment));
        QCOMPARE(album.value(u"count"_s).toInt(), presentCount);
        QVERIFY(album.value(u"id"_s).isDouble());
        QVERIFY(album.value(u"include_in_paper"_s).isBool());
        QVERIFY(album.value(u"include_in_saver"_s).isBool());
    }
    if (!goneFragment.isEmpty())
        QVERIFY(albumByFragment(token, goneFragment).isEmpty());

    // A second, immediate change still moves the stamp on.
    QCOMPARE(m_sandbox->call("POST", u"albums"_s, token, {{u"playlist"_s, u"Another one"_s}}).status, 200);
    QVERIFY(playlistsUpdatedAt(token) != after);
}

void SandboxTest::stateSurvivesRestartButNotReset()
{
    const QString token = m_sandbox->signInToken();
    QCOMPARE(
        m_sandbox->call("POST", u"albums"_s, token, {{u"playlist"_s, u"Kept"_s}, {u"local"_s, u""_s}}).status,
        200);
    const QUrl before = m_sandbox->baseUrl();

    QVERIFY2(m_sandbox->restart(), qPrintable(m_sandbox->errorString()));
    QCOMPARE(m_sandbox->baseUrl(), before);
    QVERIFY(!albumByFragment(token, u"kept"_s).isEmpty());

    m_sandbox->reset();
    QCOMPARE(m_sandbox->call("GET", u"albums"_s, token).status, 401);
    QVERIFY(albumByFragment(m_sandbox->signInToken(), u"kept"_s).isEmpty());
}

void SandboxTest::photoVariants_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QSize>("size"); // empty when the CDN must refuse the variant

    QTest::newRow("thumbnail") << u"640x360.jpg"_s << QSize(640, 360);
    QTest::newRow("normal image") << u"1920x1080.jpg"_s << QSize(1920, 1080);
    QTest::newRow("large image") << u"2560x1440.jpg"_s << QSize(2560, 1440);
    QTest::newRow("format 3840x2160") << u"3840x2160c1.jpg"_s << QSize(3840, 2160);
    QTest::newRow("format 1280x1024") << u"1280x1024c1.jpg"_s << QSize(1280, 1024);
    QTest::newRow("format 3456x2234") << u"3456x2234c1.jpg"_s << QSize(3456, 2234);
    QTest::newRow("beyond 8K") << u"7681x4320c1.jpg"_s << QSize();
    QTest::newRow("not a JPEG variant") << u"640x360.png"_s << QSize();
}

void SandboxTest::photoVariants()
{
    QFETCH(QString, variant);
    QFETCH(QSize, size);

    const QString base = firstPhotoBaseUrl(m_sandbox->signInToken());
    QVERIFY2(base.startsWith(m_sandbox->serverUrl().toString() + u"cdn/"_s) && base.endsWith(u'/'),
             qPrintable(base));
    const SandboxFixture::Reply reply = m_sandbox->fetch("GET", QUrl(base + variant));
    if (size.isEmpty()) {
        QCOMPARE(reply.status, 404);
        return;
    }
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.contentType, QByteArray("image/jpeg"));
    QVERIFY2(reply.body.size() >= 65536, QByteArray::number(reply.body.size()).constData());
    const QImage image = QImage::fromData(reply.body, "JPEG");
    QCOMPARE(image.size(), size);

    // Another photo looks different at the same spot; the same photo looks the same again.
    const QString otherBase = m_sandbox->call("GET", u"media/today"_s, m_sandbox->signInToken())
                                  .json()[u"media"_s][1][u"secure_base_url"_s]
                                  .toString();
    const QImage other = QImage::fromData(m_sandbox->fetch("GET", QUrl(otherBase + variant)).body, "JPEG");
    QCOMPARE(other.size(), size);
    QVERIFY(other != image);
    QCOMPARE(QImage::fromData(m_sandbox->fetch("GET", QUrl(base + variant)).body, "JPEG"), image);
}

void SandboxTest::faults_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QString>("target"); // a server path; $photo is a catalog photo's uuid
    QTest::addColumn<int>("status");     // 0: the connection is closed without an answer
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body"); // empty: not compared

    QTest::newRow("status with a body that is not JSON")
        << QByteArray(R"({"method": "GET", "path": "/api/v6/albums", "status": 503, "body": "not json",
                          "contentType": "text/plain"})")
        << u"/api/v6/albums"_s << 503 << QByteArray("text/plain") << QByteArray("not json");
    QTest::newRow("status with an error body")
        << QByteArray(R"({"method": "*", "path": "/api/v6/users", "status": 422,
                          "body": "{\"code\": \"EMAIL_DOMAIN\", \"error\": \"no\"}"})")
        << u"/api/v6/users"_s << 422 << QByteArray("application/json")
        << QByteArray(R"({"code": "EMAIL_DOMAIN", "error": "no"})");
    QTest::newRow("prefix path") << QByteArray(R"({"path": "/api/v6/media/*", "status": 500})")
                                 << u"/api/v6/media/classic/latest"_s << 500 << QByteArray("application/json")
                                 << QByteArray();
    QTest::newRow("another method passes")
        << QByteArray(R"({"method": "POST", "path": "/api/v6/albums", "status": 500})") << u"/api/v6/albums"_s
        << 200 << QByteArray("application/json") << QByteArray();
    QTest::newRow("drop") << QByteArray(R"({"path": "/api/v6/albums", "drop": true})") << u"/api/v6/albums"_s
                          << 0 << QByteArray() << QByteArray();
    QTest::newRow("delay, then the normal answer")
        << QByteArray(R"({"path": "/api/v6/albums", "delayMs": 300})") << u"/api/v6/albums"_s << 200
        << QByteArray("application/json") << QByteArray();
    QTest::newRow("delay, then a status")
        << QByteArray(R"({"path": "/api/v6/albums", "delayMs": 200, "status": 502})") << u"/api/v6/albums"_s
        << 502 << QByteArray("application/json") << QByteArray();
    QTest::newRow("short photo") << QByteArray(R"({"path": "/cdn/*", "photo": "short"})")
                                 << u"/cdn/$photo/1920x1080.jpg"_s << 200 << QByteArray("image/jpeg")
                                 << QByteArray();
    QTest::newRow("missing photo") << QByteArray(R"({"path": "/cdn/*", "photo": "missing"})")
                                   << u"/cdn/$photo/1920x1080.jpg"_s << 404 << QByteArray("application/json")
                                   << QByteArray();
}

void SandboxTest::faults()
{
    QFETCH(QByteArray, fault);
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);

    const QString token = m_sandbox->signInToken();
    const QString base = firstPhotoBaseUrl(token);
    target.replace(u"$photo"_s, QUrl(base).path().section(u'/', 2, 2));
    QVERIFY(m_sandbox->addFault(object(fault)));
    m_sandbox->clearRequests();

    const SandboxFixture::Reply reply = m_sandbox->fetch("GET", m_sandbox->serverUrl().resolved(QUrl(target)),
                                                         {}, {{"Authorization", "Bearer " + token.toUtf8()}});
    QCOMPARE(reply.status, status);
    if (status == 0)
        QVERIFY(reply.error != QNetworkReply::NoError);
    QCOMPARE(reply.contentType, contentType);
    if (!body.isEmpty())
        QCOMPARE(reply.body, body);
    if (status >= 500 && body.isEmpty())
        QVERIFY(!reply.json()[u"error"_s].toString().isEmpty());
    if (QTest::currentDataTag() == QByteArray("short photo")) {
        QCOMPARE(reply.body.size(), 1000);
        QVERIFY(reply.body.startsWith("\xff\xd8"));
    }
    if (status == 200 && target.startsWith(u"/api/"_s))
        QVERIFY(reply.json()[u"albums"_s].isArray());

    // Faulted requests are recorded like any other.
    const QJsonArray recorded = m_sandbox->requests();
    QVERIFY(!recorded.isEmpty());
    QCOMPARE(recorded.last()[u"path"_s].toString(), target);

    // Clearing the faults brings the normal answers back.
    m_sandbox->clearFaults();
    const SandboxFixture::Reply healed =
        m_sandbox->fetch("GET", m_sandbox->serverUrl().resolved(QUrl(target)), {},
                         {{"Authorization", "Bearer " + token.toUtf8()}});
    QCOMPARE(healed.status, 200);
}

void SandboxTest::faultTimesCountHits()
{
    const QString token = m_sandbox->signInToken();
    QVERIFY(m_sandbox->addFault(
        object(R"({"method": "GET", "path": "/api/v6/albums", "status": 500, "times": 2})")));
    QVERIFY(m_sandbox->addFault(
        object(R"({"method": "GET", "path": "/api/v6/albums", "status": 418, "times": 1})")));
    QVERIFY(!m_sandbox->addFault(object(R"({"path": "api/v6/albums", "status": 500})")));
    QVERIFY(!m_sandbox->addFault(object(R"({"path": "/cdn/*", "photo": "broken"})")));

    QList<int> statuses;
    for (int i = 0; i < 4; ++i)
        statuses.append(m_sandbox->call("GET", u"albums"_s, token).status);
    QCOMPARE(statuses, (QList<int>{500, 500, 418, 200}));
}

void SandboxTest::requestRecord_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("pathAndQuery");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("hasQuery");

    QTest::newRow("query order and encoding kept")
        << QByteArray("GET") << u"media/classic/latest?per_page=5&page=2&search=a%20b%2Bc"_s << QByteArray()
        << u"/api/v6/media/classic/latest"_s << u"per_page=5&page=2&search=a%20b%2Bc"_s << true;
    QTest::newRow("no query") << QByteArray("GET") << u"albums"_s << QByteArray() << u"/api/v6/albums"_s
                              << QString() << false;
    QTest::newRow("empty query") << QByteArray("GET") << u"albums?"_s << QByteArray() << u"/api/v6/albums"_s
                                 << QString() << true;
    QTest::newRow("encoded path") << QByteArray("GET") << u"media/playlists/editor-s-picks%2Fx?page=1"_s
                                  << QByteArray() << u"/api/v6/media/playlists/editor-s-picks%2Fx"_s
                                  << u"page=1"_s << true;
    QTest::newRow("body") << QByteArray("POST") << u"albums"_s
                          << QByteArray(R"({"local":"","playlist":"Über Weekend"})") << u"/api/v6/albums"_s
                          << QString() << false;
}

void SandboxTest::requestRecord()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, pathAndQuery);
    QFETCH(QByteArray, body);
    QFETCH(QString, path);
    QFETCH(QString, query);
    QFETCH(bool, hasQuery);

    const QString token = m_sandbox->signInToken();
    m_sandbox->clearRequests();
    m_sandbox->call(method, pathAndQuery, token, body.isEmpty() ? QJsonObject() : object(body));
    m_sandbox->requests(); // control requests are never recorded
    const QJsonArray recorded = m_sandbox->requests();

    QCOMPARE(recorded.size(), 1);
    const QJsonObject entry = recorded.first().toObject();
    QCOMPARE(entry[u"method"_s].toString(), QString::fromLatin1(method));
    QCOMPARE(entry[u"path"_s].toString(), path);
    QCOMPARE(entry[u"query"_s].toString(), query);
    QCOMPARE(entry[u"hasQuery"_s].toBool(), hasQuery);
    QCOMPARE(entry[u"headers"_s][u"authorization"_s].toString(), u"Bearer "_s + token);
    QCOMPARE(entry[u"headers"_s][u"accept"_s].toString(), u"application/json"_s);
    QCOMPARE(entry[u"body"_s].toString(), QString::fromUtf8(body));
}

} // namespace lumi::test

QTEST_GUILESS_MAIN(lumi::test::SandboxTest)
#include "SandboxTest.moc"
