#include "model/APIClient.h"
#include "model/Album.h"
#include "model/Category.h"
#include "model/LogStore.h"
#include "model/MediaQuery.h"
#include "model/Medium.h"
#include "model/PlacesTree.h"
#include "model/ServerAlert.h"
#include "model/User.h"
#include "services/CrashReporter.h"
#include "support/JsonText.h"
#include "support/SandboxFixture.h"
#include "support/state/RunTask.h"

#include <QCoroTask>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace lumi::test {

namespace {

using Kind = APIError::Kind;

template <typename T> std::optional<APIError> errorOf(QCoro::Task<T> task)
{
    if constexpr (std::is_void_v<T>) {
        return apiErrorOf(runTask(std::move(task)));
    } else {
        std::optional<T> ignored;
        return apiErrorOf(runTask(std::move(task), ignored));
    }
}

// The user-facing text of the task's failure; empty when it succeeded.
template <typename T> QString failureOf(QCoro::Task<T> task)
{
    const std::optional<APIError> error = errorOf(std::move(task));
    return error ? error->userMessage() : QString();
}

template <typename T> T valueOf(QCoro::Task<T> task)
{
    std::optional<T> result;
    const std::exception_ptr failure = runTask(std::move(task), result);
    if (failure)
        std::rethrow_exception(failure);
    return std::move(*result);
}

QJsonObject lastRequest(SandboxFixture& sandbox)
{
    const QJsonArray requests = sandbox.requests();
    return requests.isEmpty() ? QJsonObject() : requests.last().toObject();
}

QJsonObject bodyOf(const QJsonObject& recorded)
{
    return QJsonDocument::fromJson(recorded.value(u"body"_s).toString().toUtf8()).object();
}

} // namespace

class APIClientTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void statusMatrix_data();
    void statusMatrix();
    void successWithoutBodyIsOnlyGoodForSend();
    void undecodableAnswerIsLoggedAndReportedOnce();
    void transportFailuresAreNetworkErrors_data();
    void transportFailuresAreNetworkErrors();
    void aTransferBrokenAfterItsStatusIsANetworkError_data();
    void aTransferBrokenAfterItsStatusIsANetworkError();
    void changesGoOutAtMostOnce_data();
    void changesGoOutAtMostOnce();
    void postJSONGoesOutAtMostOnce();
    void answersOverTheirEndpointsCapFail_data();
    void answersOverTheirEndpointsCapFail();
    void answersNeverNameLocalFiles();
    void urlAndHeaders_data();
    void urlAndHeaders();
    void unsafePathSegmentsAreNeverSent_data();
    void unsafePathSegmentsAreNeverSent();
    void postJSON_data();
    void postJSON();
    void errorBodyReading_data();
    void errorBodyReading();
    void operationsReachTheService();
    void decodedLoadsOfTheCatalog();

private:
    std::unique_ptr<SandboxFixture> m_sandbox;
    std::unique_ptr<CrashReporter> m_reporter;
    std::unique_ptr<APIClient> m_client;
};

void APIClientTest::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_reporter = std::make_unique<CrashReporter>();
    m_client = std::make_unique<APIClient>(*m_reporter);
    m_client->setToken(m_sandbox->signInToken());
    QVERIFY(m_client->token() && !m_client->token()->isEmpty());
    m_sandbox->clearRequests();
}

void APIClientTest::cleanup()
{
    m_client.reset();
    m_sandbox.reset();
}

void APIClientTest::statusMatrix_data()
{
    QTest::addColumn<bool>("authenticated");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");

    const QString generic500 = u"The Lumivale server answered with an error (500)."_s;
    QTest::newRow("401 on an authenticated call")
        << true << 401 << QByteArray(R"({"error":"Bad token"})") << int(Kind::Unauthorized)
        << u"Your session has ended. Please sign in again."_s;
    QTest::newRow("401 on an unauthenticated call shows the server's words")
        << false << 401 << QByteArray(R"({"error":"Wrong password"})") << int(Kind::Http)
        << u"Wrong password"_s;
    QTest::newRow("422 EMAIL_DOMAIN")
        << false << 422 << QByteArray(R"({"code":"EMAIL_DOMAIN","error":"x"})") << int(Kind::EmailDomain)
        << u"Please check your email address. Mail can't be delivered to that domain."_s;
    QTest::newRow("422 other code") << false << 422 << QByteArray(R"({"code":"EMAIL_TAKEN","error":"Taken"})")
                                    << int(Kind::Http) << u"Taken"_s;
    QTest::newRow("422 without a code")
        << true << 422 << QByteArray(R"({"message":"Nope"})") << int(Kind::Http) << u"Nope"_s;
    QTest::newRow("error is a number, message a text")
        << true << 400 << QByteArray(R"({"error":7,"message":"Use text"})") << int(Kind::Http)
        << u"Use text"_s;
    QTest::newRow("both of other types")
        << true << 500 << QByteArray(R"({"error":[1],"message":null})") << int(Kind::Http) << generic500;
    QTest::newRow("empty message shows the generic text")
        << true << 500 << QByteArray(R"({"error":""})") << int(Kind::Http) << generic500;
    QTest::newRow("503 with a body that isn't JSON")
        << true << 503 << QByteArray("<html>down</html>") << int(Kind::Http)
        << u"The Lumivale server answered with an error (503)."_s;
    QTest::newRow("top level is an array")
        << true << 500 << QByteArray(R"(["error"])") << int(Kind::Http) << generic500;
}

void APIClientTest::statusMatrix()
{
    QFETCH(bool, authenticated);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, kind);
    QFETCH(QString, message);

    QVERIFY(m_sandbox->addFault(
        {{u"path"_s, u"/api/v6/albums"_s}, {u"status"_s, status}, {u"body"_s, QString::fromUtf8(body)}}));
    APIRequest request{u"GET"_s, u"albums"_s, {}, std::nullopt, authenticated, {}};
    const std::optional<APIError> error = errorOf(m_client->send(request));
    QVERIFY(error);
    QCOMPARE(int(error->kind()), kind);
    QCOMPARE(error->userMessage(), message);
    if (error->kind() == Kind::Http)
        QCOMPARE(error->status(), status);
    QVERIFY(LogStore::shared().recent().last().endsWith(u"I [api] GET albums: HTTP "_s +
                                                        QString::number(status)));
}

void APIClientTest::successWithoutBodyIsOnlyGoodForSend()
{
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/albums"_s}, {u"status"_s, 204}, {u"body"_s, u""_s}}));
    QSignalSpy reports(m_reporter.get(), &CrashReporter::reported);

    QVERIFY(!errorOf(m_client->send({u"GET"_s, u"albums"_s, {}, std::nullopt, true, {}})));
    QCOMPARE(reports.count(), 0);

    const std::optional<APIError> error =
        errorOf(m_client->request<AlbumsResponse>({u"GET"_s, u"albums"_s, {}, std::nullopt, true, {}}));
    QVERIFY(error);
    QCOMPARE(error->kind(), Kind::Decoding);
    QCOMPARE(reports.count(), 1);
}

void APIClientTest::undecodableAnswerIsLoggedAndReportedOnce()
{
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/media/classic/latest"_s},
                                 {u"status"_s, 200},
                                 {u"body"_s, uR"({"media":[{"title":"no uuid"}]})"_s}}));
    QSignalSpy reports(m_reporter.get(), &CrashReporter::reported);
    const QStringList before = LogStore::shared().recent();

    const std::optional<APIError> error = errorOf(
        m_client->request<MediaResponse>({u"GET"_s, u"media/classic/latest"_s, {}, std::nullopt, true, {}}));
    QVERIFY(error);
    QCOMPARE(error->kind(), Kind::Decoding);
    QCOMPARE(error->userMessage(), u"Lumivale sent a response this version can't read."_s);

    QCOMPARE(reports.count(), 1);
    const auto report = reports.first().first().value<CrashReport>();
    QCOMPARE(report.process, u"api"_s);
    QCOMPARE(report.message, u"decode failed: GET media"_s);
    QCOMPARE(report.fingerprint, CrashReport::fingerprintOf({u"api"_s, u"decode failed: GET media"_s}));
    QVERIFY(report.stack.startsWith(u"media/classic/latest\n"_s));
    QVERIFY(report.stack.contains(u"uuid"_s));
    QVERIFY(!report.breadcrumbs);

    QStringList added = LogStore::shared().recent().mid(before.size());
    const QStringList decodeLines = added.filter(u"E [api] GET media/classic/latest: decode "_s);
    QCOMPARE(decodeLines.size(), 1);
}

void APIClientTest::transportFailuresAreNetworkErrors_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("refused connection") << u"refused"_s;
    QTest::newRow("dropped connection") << u"drop"_s;
    QTest::newRow("cancelled while waiting") << u"cancel"_s;
}

void APIClientTest::transportFailuresAreNetworkErrors()
{
    QFETCH(QString, how);
    APIRequest request{u"GET"_s, u"albums"_s, {}, std::nullopt, true, {}};
    if (how == u"refused"_s) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        qputenv("LUMIVALE_API_URL", "http://127.0.0.1:" + QByteArray::number(port) + "/api/v6");
    } else if (how == u"drop"_s) {
        // Qt resends once on a connection closed without an answer, so every try is dropped.
        QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/albums"_s}, {u"drop"_s, true}}));
    } else {
        QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/albums"_s}, {u"delayMs"_s, 5000}}));
        QTimer::singleShot(100, [cancel = request.cancel] { cancel.cancel(); });
    }
    const std::optional<APIError> error = errorOf(m_client->send(request));
    qputenv("LUMIVALE_API_URL", m_sandbox->baseUrl().toEncoded());
    QVERIFY(error);
    QCOMPARE(error->kind(), Kind::Network);
    QCOMPARE(error->userMessage(), u"Can't reach Lumivale. Check your internet connection."_s);
    QVERIFY(LogStore::shared().recent().last().contains(u"I [api] GET albums: network "_s));
}

void APIClientTest::aTransferBrokenAfterItsStatusIsANetworkError_data()
{
    QTest::addColumn<bool>("cancel"); // else the server closes the connection
    QTest::newRow("connection closed mid-body") << false;
    QTest::newRow("cancelled mid-body") << true;
}

void APIClientTest::aTransferBrokenAfterItsStatusIsANetworkError()
{
    QFETCH(bool, cancel);
    // A 200 whose body stops short: the sandbox always sends whole answers.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, &server, [&server, cancel] {
        QTcpSocket* socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket, cancel] {
            if (!socket->readAll().contains("\r\n\r\n"))
                return;
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 400\r\n\r\n"
                          R"({"albums":[{"title":)");
            if (!cancel)
                socket->disconnectFromHost();
        });
    });
    qputenv("LUMIVALE_API_URL", "http://127.0.0.1:" + QByteArray::number(server.serverPort()) + "/api/v6");
    QSignalSpy reports(m_reporter.get(), &CrashReporter::reported);
    APIRequest request{u"GET"_s, u"albums"_s, {}, std::nullopt, true, {}};
    if (cancel)
        QTimer::singleShot(300, [token = request.cancel] { token.cancel(); });

    const std::optional<APIError> error = errorOf(m_client->request<AlbumsResponse>(request));
    qputenv("LUMIVALE_API_URL", m_sandbox->baseUrl().toEncoded());
    QVERIFY(error);
    QCOMPARE(error->kind(), Kind::Network);
    QCOMPARE(reports.count(), 0);
    QVERIFY(LogStore::shared().recent().last().contains(u"I [api] GET albums: network "_s));
}

void APIClientTest::changesGoOutAtMostOnce_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<bool>("withBody");
    QTest::newRow("POST") << u"POST"_s << true;
    QTest::newRow("PUT") << u"PUT"_s << true;
    QTest::newRow("DELETE without a body") << u"DELETE"_s << false;
}

void APIClientTest::changesGoOutAtMostOnce()
{
    QFETCH(QString, method);
    QFETCH(bool, withBody);
    // Only the first request is dropped: a second one would be answered.
    QVERIFY(m_sandbox->addFault(
        {{u"method"_s, method}, {u"path"_s, u"/api/v6/albums"_s}, {u"drop"_s, true}, {u"times"_s, 1}}));
    const std::optional<QJsonObject> body =
        withBody ? std::optional(QJsonObject{{u"playlist"_s, u"Trips"_s}}) : std::nullopt;

    const std::optional<APIError> error = errorOf(m_client->send({method, u"albums"_s, {}, body, true, {}}));
    QVERIFY(error);
    QCOMPARE(error->kind(), Kind::Network);
    QCOMPARE(m_sandbox->requests().size(), 1);
}

void APIClientTest::postJSONGoesOutAtMostOnce()
{
    QVERIFY(m_sandbox->addFault(
        {{u"method"_s, u"POST"_s}, {u"path"_s, u"/api/v6/events"_s}, {u"drop"_s, true}, {u"times"_s, 1}}));
    QVERIFY(!valueOf(m_client->postJSON(u"events"_s, {}, "{}")));
    QCOMPARE(m_sandbox->requests().size(), 1);
}

void APIClientTest::answersOverTheirEndpointsCapFail_data()
{
    QTest::addColumn<int>("perPage"); // 0 asks for the albums
    QTest::addColumn<int>("padTo");
    QTest::addColumn<bool>("fails");

    constexpr int mebibyte = 1024 * 1024;
    QTest::newRow("albums of 5 MiB") << 0 << 5 * mebibyte << true;
    QTest::newRow("albums of 3 MiB") << 0 << 3 * mebibyte << false;
    QTest::newRow("page of 500 photos in 50 MiB") << 500 << 50 * mebibyte << true;
    QTest::newRow("page of 500 photos in 7 MiB") << 500 << 7 * mebibyte << false;
    QTest::newRow("page of 60 photos in 5 MiB") << 60 << 5 * mebibyte << true;
}

void APIClientTest::answersOverTheirEndpointsCapFail()
{
    QFETCH(int, perPage);
    QFETCH(int, padTo);
    QFETCH(bool, fails);
    Album album;
    album.titleFragment = u"mountain-mornings"_s;
    const QString path = perPage > 0 ? u"/api/v6/media/playlists/mountain-mornings"_s : u"/api/v6/albums"_s;
    QVERIFY(m_sandbox->addFault({{u"path"_s, path}, {u"padTo"_s, padTo}}));

    const std::optional<APIError> error =
        perPage > 0
            ? errorOf(m_client->mediaPage(MediaQuery::playlist(album, perPage)))
            : errorOf(m_client->request<AlbumsResponse>({u"GET"_s, u"albums"_s, {}, std::nullopt, true, {}}));
    QCOMPARE(bool(error), fails);
    if (error)
        QCOMPARE(error->kind(), Kind::Decoding);
}

void APIClientTest::answersNeverNameLocalFiles()
{
    const QJsonObject photo{{u"uuid"_s, u"1a2b3c4d-0000"_s},
                            {u"title"_s, u"Sunset"_s},
                            {u"secure_base_url"_s, u"https://cdn.example.test/1a2b3c4d/"_s},
                            {u"local_path"_s, u"/etc/hostname"_s},
                            {u"local_thumb"_s, u"/etc/hostname"_s}};
    const auto answer = [](const QJsonObject& body) {
        return QString::fromUtf8(QJsonDocument(body).toJson(QJsonDocument::Compact));
    };
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/media/today"_s},
                                 {u"status"_s, 200},
                                 {u"body"_s, answer({{u"media"_s, QJsonArray{photo}}})}}));
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/media/photo"_s},
                                 {u"status"_s, 200},
                                 {u"body"_s, answer({{u"medium"_s, photo}})}}));

    const QList<Medium> listed = valueOf(m_client->mediaPage(MediaQuery{.path = u"today"_s}));
    const std::optional<Medium> fetched = valueOf(m_client->fetchPhoto(u"1a2b3c4d"_s)).medium;
    QCOMPARE(listed.size(), 1);
    QVERIFY(fetched);
    for (const Medium& medium : {listed.first(), *fetched}) {
        QVERIFY(!medium.localPath && !medium.localThumb);
        QCOMPARE(medium.imageURL(),
                 std::optional(QUrl(u"https://cdn.example.test/1a2b3c4d/1920x1080.jpg"_s)));
        QCOMPARE(medium.thumbnailURL(),
                 std::optional(QUrl(u"https://cdn.example.test/1a2b3c4d/640x360.jpg"_s)));
    }
}

void APIClientTest::urlAndHeaders_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QVariantMap>("query");
    QTest::addColumn<QVariant>("body"); // invalid: no body
    QTest::addColumn<bool>("authenticated");
    QTest::addColumn<bool>("withToken");
    QTest::addColumn<QString>("rawPath");
    QTest::addColumn<QString>("rawQuery");
    QTest::addColumn<QString>("rawBody");

    QTest::newRow("query sorted by name")
        << u"GET"_s << u"media/channels/landscapes"_s
        << QVariantMap{{u"per_page"_s, u"500"_s}, {u"page"_s, u"1"_s}} << QVariant() << true << true
        << u"/api/v6/media/channels/landscapes"_s << u"page=1&per_page=500"_s << u""_s;
    QTest::newRow("search keeps + & = #")
        << u"GET"_s << u"media/search"_s << QVariantMap{{u"search"_s, u"C++ & a=b #1"_s}} << QVariant()
        << true << true << u"/api/v6/media/search"_s << u"search=C%2B%2B%20%26%20a%3Db%20%231"_s << u""_s;
    QTest::newRow("authenticated call without a token goes out bare")
        << u"GET"_s << u"albums"_s << QVariantMap() << QVariant() << true << false << u"/api/v6/albums"_s
        << u""_s << u""_s;
    QTest::newRow("unauthenticated call never sends the token")
        << u"GET"_s << u"configuration/categories"_s << QVariantMap() << QVariant() << false << true
        << u"/api/v6/configuration/categories"_s << u""_s << u""_s;
    QTest::newRow("empty body is {}")
        << u"POST"_s << u"users/update_survey"_s << QVariantMap() << QVariant(QVariantMap()) << true << true
        << u"/api/v6/users/update_survey"_s << u""_s << u"{}"_s;
    QTest::newRow("segment with a blank is encoded")
        << u"PUT"_s << u"albums/my list"_s << QVariantMap() << QVariant(QVariantMap{{u"renamed"_s, u"x"_s}})
        << true << true << u"/api/v6/albums/my%20list"_s << u""_s << uR"({"renamed":"x"})"_s;
}

void APIClientTest::urlAndHeaders()
{
    QFETCH(QString, method);
    QFETCH(QString, path);
    QFETCH(QVariantMap, query);
    QFETCH(QVariant, body);
    QFETCH(bool, authenticated);
    QFETCH(bool, withToken);
    QFETCH(QString, rawPath);
    QFETCH(QString, rawQuery);
    QFETCH(QString, rawBody);

    if (!withToken)
        m_client->setToken(std::nullopt);
    APIRequest request{method, path, {}, std::nullopt, authenticated, {}};
    for (auto it = query.begin(); it != query.end(); ++it)
        request.query.insert(it.key(), it.value().toString());
    if (body.isValid())
        request.body = QJsonObject::fromVariantMap(body.toMap());
    errorOf(m_client->send(request)); // the answer doesn't matter here

    const QJsonObject recorded = lastRequest(*m_sandbox);
    QCOMPARE(recorded.value(u"method"_s).toString(), method);
    QCOMPARE(recorded.value(u"path"_s).toString(), rawPath);
    QCOMPARE(recorded.value(u"query"_s).toString(), rawQuery);
    QCOMPARE(recorded.value(u"hasQuery"_s).toBool(), !rawQuery.isEmpty());
    QCOMPARE(recorded.value(u"body"_s).toString(), rawBody);
    const QJsonObject headers = recorded.value(u"headers"_s).toObject();
    QCOMPARE(headers.value(u"accept"_s).toString(), u"application/json"_s);
    QCOMPARE(headers.contains(u"authorization"_s), authenticated && withToken);
    if (authenticated && withToken)
        QCOMPARE(headers.value(u"authorization"_s).toString(), u"Bearer "_s + *m_client->token());
    QCOMPARE(headers.value(u"content-type"_s).toString(), body.isValid() ? u"application/json"_s : QString());
}

void APIClientTest::unsafePathSegmentsAreNeverSent_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("dot-dot") << u"albums/.."_s;
    QTest::newRow("dot") << u"albums/."_s;
    QTest::newRow("empty fragment") << u"albums/"_s;
    QTest::newRow("double slash") << u"media//today"_s;
}

void APIClientTest::unsafePathSegmentsAreNeverSent()
{
    QFETCH(QString, path);
    const std::optional<APIError> error =
        errorOf(m_client->send({u"DELETE"_s, path, {}, std::nullopt, true, {}}));
    QVERIFY(error);
    QCOMPARE(error->kind(), Kind::InvalidRequest);
    QVERIFY(!error->userMessage().isEmpty());
    QVERIFY(m_sandbox->requests().isEmpty());
}

void APIClientTest::postJSON_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("201") << 201 << true;
    QTest::newRow("500") << 500 << false;
    QTest::newRow("dropped") << 0 << false;
}

void APIClientTest::postJSON()
{
    QFETCH(int, status);
    QFETCH(bool, accepted);
    QJsonObject fault{{u"path"_s, u"/api/v6/events"_s}};
    if (status == 0)
        fault.insert(u"drop"_s, true);
    else
        fault.insert(u"status"_s, status);
    QVERIFY(m_sandbox->addFault(fault));

    const QByteArray payload = R"({"events":[{"name":"app-opened"}]})";
    QCOMPARE(valueOf(m_client->postJSON(u"events"_s, {}, payload)), accepted);

    const QJsonObject recorded = lastRequest(*m_sandbox);
    QCOMPARE(recorded.value(u"body"_s).toString().toUtf8(), payload);
    QCOMPARE(recorded.value(u"hasQuery"_s).toBool(), false);
    const QJsonObject headers = recorded.value(u"headers"_s).toObject();
    QVERIFY(!headers.contains(u"accept"_s));
    QCOMPARE(headers.value(u"authorization"_s).toString(), u"Bearer "_s + *m_client->token());
    QCOMPARE(headers.value(u"content-type"_s).toString(), u"application/json"_s);
}

void APIClientTest::errorBodyReading_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QVariant>("code");
    QTest::addColumn<QVariant>("message");
    QTest::newRow("code and error") << QByteArray(R"({"code":"X","error":"E","message":"M"})")
                                    << QVariant(u"X"_s) << QVariant(u"E"_s);
    QTest::newRow("message only") << QByteArray(R"({"message":"M"})") << QVariant() << QVariant(u"M"_s);
    QTest::newRow("code of another type") << QByteArray(R"({"code":5})") << QVariant() << QVariant();
    QTest::newRow("not JSON") << QByteArray("oops") << QVariant() << QVariant();
    QTest::newRow("empty") << QByteArray() << QVariant() << QVariant();
}

void APIClientTest::errorBodyReading()
{
    QFETCH(QByteArray, body);
    QFETCH(QVariant, code);
    QFETCH(QVariant, message);
    const auto asVariant = [](const std::optional<QString>& text) {
        return text ? QVariant(*text) : QVariant();
    };
    QCOMPARE(asVariant(APIClient::serverErrorCode(body)), code);
    QCOMPARE(asVariant(APIClient::serverErrorMessage(body)), message);
}

void APIClientTest::operationsReachTheService()
{
    APIClient& api = *m_client;

    // Sign-in sends the e-mail as given, with the app's fixed entries.
    const SignInResponse signedIn =
        valueOf(api.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword));
    QVERIFY(!signedIn.token.isEmpty());
    QCOMPARE(signedIn.user.email, SandboxFixture::demoEmail);
    QJsonObject sent = bodyOf(lastRequest(*m_sandbox));
    QCOMPARE(sent.value(u"app"_s).toString(), u"desktop"_s);
    QVERIFY(sent.contains(u"desktop_version"_s));
    api.setToken(signedIn.token);

    const RefreshResponse refreshed = valueOf(api.refreshToken());
    QCOMPARE(lastRequest(*m_sandbox).value(u"body"_s).toString(), u"{}"_s);
    if (refreshed.token)
        api.setToken(refreshed.token);

    const UserResponse updated = valueOf(api.updateUser({{u"calendar_theme"_s, u"ocean"_s}}));
    QCOMPARE(updated.user.calendarTheme, std::optional(u"ocean"_s));
    QCOMPARE(bodyOf(lastRequest(*m_sandbox)),
             (QJsonObject{{u"user"_s, QJsonObject{{u"calendar_theme"_s, u"ocean"_s}}}}));

    // Favorites come back as a set.
    const QSet<QString> favorites = valueOf(api.fetchFavoriteUUIDs());
    QVERIFY(!favorites.isEmpty());
    QCOMPARE(lastRequest(*m_sandbox).value(u"query"_s).toString(), u"per_page=10000"_s);

    const PhotoResponse found = valueOf(api.fetchPhoto(favorites.values().first().left(8)));
    QVERIFY(found.medium);
    const Medium medium = *found.medium;

    // A playlist's whole life.
    const Album created = valueOf(api.createAlbum(u"Road Trip"_s, u""_s));
    QCOMPARE(created.title, u"Road Trip"_s);
    QCOMPARE(created.titleFragment, u"road-trip"_s);
    QCOMPARE(failureOf(api.addToAlbum(medium, created.titleFragment)), QString());
    QCOMPARE(lastRequest(*m_sandbox).value(u"path"_s).toString(), u"/api/v6/albums/road-trip"_s);
    QCOMPARE(failureOf(api.setAlbumIncluded(created, u"paper"_s, true)), QString());
    QCOMPARE(bodyOf(lastRequest(*m_sandbox)),
             (QJsonObject{{u"playlist"_s, u"Road Trip"_s}, {u"type"_s, u"paper"_s}, {u"included"_s, true}}));
    QCOMPARE(failureOf(api.updateAlbum(created, u"Long Road Trip"_s, std::nullopt)), QString());
    QCOMPARE(bodyOf(lastRequest(*m_sandbox)),
             (QJsonObject{{u"renamed"_s, u"Long Road Trip"_s}, {u"local"_s, u""_s}}));
    Album renamed = created;
    renamed.title = u"Long Road Trip"_s;
    renamed.titleFragment = u"long-road-trip"_s;
    renamed.localPath = u"/home/someone/Pictures"_s;
    QCOMPARE(failureOf(api.updateAlbum(renamed, u"Long Road Trip"_s, u"/elsewhere"_s)), QString());
    QCOMPARE(bodyOf(lastRequest(*m_sandbox)).value(u"local"_s).toString(), u"/elsewhere"_s);
    QCOMPARE(failureOf(api.removeFromAlbum(medium, u"Long Road Trip"_s)), QString());
    QJsonObject recorded = lastRequest(*m_sandbox);
    QCOMPARE(recorded.value(u"query"_s).toString(), u"playlist=Long%20Road%20Trip&uuid="_s + medium.uuid);
    QCOMPARE(recorded.value(u"body"_s).toString(), QString());
    QCOMPARE(failureOf(api.deleteAlbum(renamed)), QString());
    recorded = lastRequest(*m_sandbox);
    QCOMPARE(recorded.value(u"method"_s).toString(), u"DELETE"_s);
    QCOMPARE(recorded.value(u"query"_s).toString(), u"playlist=Long%20Road%20Trip"_s);

    QCOMPARE(failureOf(api.sharePhoto(medium, u"friend@example.test"_s, u"Look"_s)), QString());
    QCOMPARE(bodyOf(lastRequest(*m_sandbox)).value(u"muuid"_s).toString(), medium.uuid);
    QCOMPARE(failureOf(api.updateSurvey()), QString());

    // Passwords: reset with the sandbox's fixed code, then change while signed in.
    QCOMPARE(failureOf(api.requestPasswordReset(SandboxFixture::secondEmail)), QString());
    QCOMPARE(failureOf(api.validateResetCode(SandboxFixture::secondEmail, u"123456"_s)), QString());
    QCOMPARE(failureOf(api.setPassword(SandboxFixture::secondEmail, u"123456"_s, u"new-secret"_s)),
             QString());
    QVERIFY(!m_sandbox->signInToken(SandboxFixture::secondEmail, u"new-secret"_s).isEmpty());
    QCOMPARE(failureOf(api.changePassword(u"changed-secret"_s)), QString());
    QVERIFY(!m_sandbox->signInToken(SandboxFixture::demoEmail, u"changed-secret"_s).isEmpty());
}

void APIClientTest::decodedLoadsOfTheCatalog()
{
    APIClient& api = *m_client;
    const QList<Category> categories = valueOf(
        api.request<QList<Category>>({u"GET"_s, u"configuration/categories"_s, {}, std::nullopt, false, {}}));
    QVERIFY(categories.size() >= 2);

    const QMap<QString, QString> page{{u"page"_s, u"1"_s}, {u"per_page"_s, u"500"_s}};
    const AlbumsResponse albums =
        valueOf(api.request<AlbumsResponse>({u"GET"_s, u"albums"_s, page, std::nullopt, true, {}}));
    QVERIFY(!albums.albums.isEmpty());

    const MediaResponse media = valueOf(api.request<MediaResponse>(
        {u"GET"_s, u"media/"_s + categories.first().channelPath, page, std::nullopt, true, {}}));
    QVERIFY(media.media && !media.media->isEmpty());
    const std::optional<QUrl> variant = media.media->first().sizedImageURL(1920, 1080, u"c1"_s);
    QVERIFY(variant && variant->path().endsWith(u"1920x1080c1.jpg"_s));

    const PlacesTree places =
        valueOf(api.request<PlacesTree>({u"GET"_s, u"places"_s, {}, std::nullopt, true, {}}));
    QVERIFY(!places.countries.isEmpty());

    const AlertsResponse alerts =
        valueOf(api.request<AlertsResponse>({u"GET"_s, u"alerts"_s, {}, std::nullopt, true, {}}));
    QVERIFY(alerts.alert);

    const UserResponse user =
        valueOf(api.request<UserResponse>({u"GET"_s, u"users"_s, {}, std::nullopt, true, {}}));
    QCOMPARE(user.user.email, SandboxFixture::demoEmail);
}

} // namespace lumi::test

QTEST_GUILESS_MAIN(lumi::test::APIClientTest)
#include "APIClientTest.moc"
