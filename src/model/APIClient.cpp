#include "model/APIClient.h"

#include "model/Album.h"
#include "model/CrashReport.h"
#include "model/DeviceInfo.h"
#include "model/MediaQuery.h"
#include "model/Medium.h"
#include "model/OneShotBody.h"
#include "model/ProblemSink.h"
#include "model/ReplyFinished.h"
#include "model/User.h"

#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int requestTimeoutMs = 60'000;
constexpr int transferLimitMs = 120'000;
// A photo of a listing with its description and place takes a few hundred bytes.
constexpr qint64 maxBytesPerPhoto = 16 * 1024;

struct DeleteLater
{
    void operator()(QObject* object) const { object->deleteLater(); }
};
using ReplyPtr = std::unique_ptr<QNetworkReply, DeleteLater>;

// Path segments come partly from server data: an empty, "." or ".." segment would address
// another resource, so such a request is never formed.
std::optional<QUrl> requestURL(const QString& path, const QMap<QString, QString>& query)
{
    QByteArray encoded = APIClient::baseURL().toEncoded(QUrl::StripTrailingSlash);
    for (const QString& segment : path.split(u'/')) {
        if (segment.isEmpty() || segment == u"."_s || segment == u".."_s)
            return std::nullopt;
        encoded += '/' + QUrl::toPercentEncoding(segment);
    }
    // Values are encoded whole, so "+", "&", "=" and "#" in a search arrive as typed.
    QByteArrayList items;
    for (auto it = query.begin(); it != query.end(); ++it)
        items.append(QUrl::toPercentEncoding(it.key()) + '=' + QUrl::toPercentEncoding(it.value()));
    if (!items.isEmpty())
        encoded += '?' + items.join('&');
    QUrl url = QUrl::fromEncoded(encoded, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

std::optional<QJsonObject> errorBody(const QByteArray& body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<QString> textOf(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? std::optional(value.toString()) : std::nullopt;
}

QByteArray bearer(const std::optional<QString>& token)
{
    return token && !token->isEmpty() ? "Bearer " + token->toUtf8() : QByteArray();
}

QNetworkReply* start(QNetworkAccessManager& network, QNetworkRequest request, const QString& method,
                     const std::optional<QByteArray>& payload)
{
    if (method == u"GET"_s)
        return network.get(request);
    // Every other method changes something on the server: a body Qt can't rewind keeps it from
    // sending the request a second time when the connection closes without an answer.
    const QByteArray bytes = payload.value_or(QByteArray());
    request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
    request.setHeader(QNetworkRequest::ContentLengthHeader, bytes.size());
    auto* body = new OneShotBody(bytes);
    QNetworkReply* reply = network.sendCustomRequest(request, method.toLatin1(), body);
    body->setParent(reply);
    return reply;
}

// Connection, time-out, cancellation and proxy errors, as opposed to errors Qt derives from the status.
bool brokeInTransfer(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

// Local files belong to the app's own photos: a path in an answer must not make the app open one.
Medium withoutLocalFiles(Medium medium)
{
    medium.localPath.reset();
    medium.localThumb.reset();
    return medium;
}

} // namespace

APIClient::APIClient(ProblemSink& problems, QObject* parent)
    : QObject(parent), m_problems(problems), m_network(new QNetworkAccessManager(this)), m_log(u"api"_s)
{
}

APIClient::~APIClient() = default;

QUrl APIClient::baseURL()
{
    const QString overridden = qEnvironmentVariable("LUMIVALE_API_URL");
    return QUrl(overridden.isEmpty() ? u"https://api.lumivale.com/api/v6"_s : overridden);
}

QCoro::Task<QByteArray> APIClient::transfer(APIRequest request)
{
    const QString where = request.method + u' ' + request.path;
    const std::optional<QUrl> url = requestURL(request.path, request.query);
    if (!url) {
        m_log.error(where + u": refused: the path can't address a resource"_s);
        throw APIError::invalidRequest(request.path);
    }

    QNetworkRequest networkRequest(*url);
    networkRequest.setTransferTimeout(requestTimeoutMs);
    networkRequest.setRawHeader("Accept", "application/json");
    if (request.authenticated && !bearer(m_token).isEmpty())
        networkRequest.setRawHeader("Authorization", bearer(m_token));
    std::optional<QByteArray> payload;
    if (request.body) {
        networkRequest.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json"_s);
        payload = QJsonDocument(*request.body).toJson(QJsonDocument::Compact);
    }

    ReplyPtr reply(start(*m_network, networkRequest, request.method, payload));
    QTimer::singleShot(transferLimitMs, reply.get(), &QNetworkReply::abort);
    request.cancel.abortOnCancel(reply.get());
    bool oversized = false;
    QNetworkReply* const watched = reply.get();
    connect(watched, &QNetworkReply::downloadProgress, watched,
            [watched, &oversized, limit = request.maxBodyBytes](qint64 received, qint64 total) {
                if (received > limit || total > limit) {
                    oversized = true;
                    watched->abort();
                }
            });
    co_await ReplyFinished(reply.get());
    if (oversized) {
        emit answered();
        throw decodeFailure(request, u"answer longer than %1 bytes"_s.arg(request.maxBodyBytes));
    }

    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // A transfer that broke or was stopped after the status came is no answer either.
    const QNetworkReply::NetworkError error = reply->error();
    if (brokeInTransfer(error) || (!statusAttribute.isValid() && error != QNetworkReply::NoError)) {
        m_log.info(where + u": network "_s + reply->errorString());
        if (!request.cancel.isCancelled())
            emit unreachable();
        throw APIError::network(reply->errorString());
    }
    emit answered();
    const int status = statusAttribute.toInt();
    const QByteArray body = reply->readAll();
    if (status >= 200 && status <= 299)
        co_return body;

    m_log.info(where + u": HTTP "_s + QString::number(status));
    if (status == 422 && serverErrorCode(body) == u"EMAIL_DOMAIN"_s)
        throw APIError::emailDomain();
    if (status == 401 && request.authenticated)
        throw APIError::unauthorized();
    throw APIError::http(status, serverErrorMessage(body));
}

QCoro::Task<void> APIClient::send(APIRequest request)
{
    co_await transfer(std::move(request));
}

APIError APIClient::decodeFailure(const APIRequest& request, const QString& error) const
{
    m_log.error(request.method + u' ' + request.path + u": decode "_s + error);
    QString firstSegment;
    for (const QString& segment : request.path.split(u'/')) {
        if (!segment.isEmpty()) {
            firstSegment = segment;
            break;
        }
    }
    const QString message = u"decode failed: "_s + request.method + u' ' + firstSegment;
    m_problems.report(
        CrashReport::problem(u"api"_s, message, request.path + u'\n' + error, QDateTime::currentDateTime()));
    return APIError::decoding(error);
}

QCoro::Task<bool> APIClient::postJSON(QString path, QMap<QString, QString> query, QByteArray body)
{
    const std::optional<QUrl> url = requestURL(path, query);
    if (!url)
        co_return false;
    QNetworkRequest networkRequest(*url);
    networkRequest.setTransferTimeout(requestTimeoutMs);
    networkRequest.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json"_s);
    if (!bearer(m_token).isEmpty())
        networkRequest.setRawHeader("Authorization", bearer(m_token));
    ReplyPtr reply(start(*m_network, networkRequest, u"POST"_s, body));
    QTimer::singleShot(transferLimitMs, reply.get(), &QNetworkReply::abort);
    co_await ReplyFinished(reply.get());
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        emit answered();
    else
        emit unreachable();
    co_return status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
}

std::optional<QString> APIClient::serverErrorCode(const QByteArray& body)
{
    const std::optional<QJsonObject> object = errorBody(body);
    return object ? textOf(*object, u"code"_s) : std::nullopt;
}

std::optional<QString> APIClient::serverErrorMessage(const QByteArray& body)
{
    const std::optional<QJsonObject> object = errorBody(body);
    if (!object)
        return std::nullopt;
    if (auto error = textOf(*object, u"error"_s))
        return error;
    return textOf(*object, u"message"_s);
}

// --- Operations -------------------------------------------------------------------------------

QCoro::Task<SignInResponse> APIClient::signIn(QString email, QString password)
{
    const QJsonObject body{{u"email"_s, email},
                           {u"password"_s, password},
                           {u"app"_s, u"desktop"_s},
                           {u"desktop_version"_s, DeviceInfo::appVersion()}};
    APIRequest call{u"POST"_s, u"tokens"_s, {}, body, false, {}};
    co_return co_await request<SignInResponse>(std::move(call));
}

QCoro::Task<RefreshResponse> APIClient::refreshToken()
{
    APIRequest call{u"POST"_s, u"tokens/refresh_token"_s, {}, QJsonObject(), true, {}};
    co_return co_await request<RefreshResponse>(std::move(call));
}

QCoro::Task<void> APIClient::requestPasswordReset(QString email)
{
    const QJsonObject body{{u"email"_s, email}};
    APIRequest call{u"POST"_s, u"passwords/reset"_s, {}, body, false, {}};
    co_await send(std::move(call));
}

QCoro::Task<void> APIClient::validateResetCode(QString email, QString code)
{
    const QJsonObject body{{u"email"_s, email}, {u"code"_s, code}};
    APIRequest call{u"POST"_s, u"passwords/validate_code"_s, {}, body, false, {}};
    co_await send(std::move(call));
}

QCoro::Task<void> APIClient::setPassword(QString email, QString code, QString password)
{
    const QJsonObject body{{u"email"_s, email}, {u"code"_s, code}, {u"password"_s, password}};
    APIRequest call{u"POST"_s, u"passwords/set_password"_s, {}, body, false, {}};
    co_await send(std::move(call));
}

QCoro::Task<UserResponse> APIClient::updateUser(QJsonObject fields)
{
    const QJsonObject body{{u"user"_s, fields}};
    APIRequest call{u"PUT"_s, u"users"_s, {}, body, true, {}};
    co_return co_await request<UserResponse>(std::move(call));
}

QCoro::Task<void> APIClient::changePassword(QString password)
{
    const QJsonObject body{{u"password"_s, password}};
    APIRequest call{u"PUT"_s, u"passwords/change"_s, {}, body, true, {}};
    co_await send(std::move(call));
}

QCoro::Task<void> APIClient::sharePhoto(Medium medium, QString email, QString comment)
{
    const QJsonObject body{{u"muuid"_s, medium.uuid}, {u"email"_s, email}, {u"comment"_s, comment}};
    APIRequest call{u"POST"_s, u"shares"_s, {}, body, true, {}};
    co_await send(std::move(call));
}

QCoro::Task<void> APIClient::updateSurvey()
{
    APIRequest call{u"POST"_s, u"users/update_survey"_s, {}, QJsonObject(), true, {}};
    co_await send(std::move(call));
}

QCoro::Task<QList<Medium>> APIClient::mediaPage(MediaQuery query, CancelToken cancel)
{
    APIRequest call{u"GET"_s, query.requestPath(), query.queryItems(), std::nullopt, true, std::move(cancel)};
    call.maxBodyBytes = std::max<qint64>(call.maxBodyBytes, qint64(query.perPage) * maxBytesPerPhoto);
    QList<Medium> media = (co_await request<MediaResponse>(std::move(call))).media.value_or(QList<Medium>());
    for (Medium& medium : media)
        medium = withoutLocalFiles(std::move(medium));
    co_return media;
}

QCoro::Task<PhotoResponse> APIClient::fetchPhoto(QString prefix)
{
    const QMap<QString, QString> query{{u"prefix"_s, prefix}};
    APIRequest call{u"GET"_s, u"media/photo"_s, query, std::nullopt, true, {}};
    PhotoResponse answer = co_await request<PhotoResponse>(std::move(call));
    if (answer.medium)
        answer.medium = withoutLocalFiles(std::move(*answer.medium));
    co_return answer;
}

QCoro::Task<QSet<QString>> APIClient::fetchFavoriteUUIDs()
{
    const QMap<QString, QString> query{{u"per_page"_s, u"10000"_s}};
    APIRequest call{u"GET"_s, u"albums/favorites/uuids"_s, query, std::nullopt, true, {}};
    const FavoritesResponse answer = co_await request<FavoritesResponse>(std::move(call));
    const QStringList uuids = answer.uuids.value_or(QStringList());
    co_return QSet<QString>(uuids.begin(), uuids.end());
}

QCoro::Task<Album> APIClient::createAlbum(QString title, QString local)
{
    const QJsonObject body{{u"playlist"_s, title}, {u"local"_s, local}};
    APIRequest call{u"POST"_s, u"albums"_s, {}, body, true, {}};
    co_return co_await request<Album>(std::move(call));
}

QCoro::Task<void> APIClient::updateAlbum(Album album, QString newTitle, std::optional<QString> local)
{
    const QString localValue = local ? *local : album.localPath.value_or(QString());
    const QJsonObject body{{u"renamed"_s, newTitle}, {u"local"_s, localValue}};
    APIRequest call{u"PUT"_s, u"albums/"_s + album.titleFragment, {}, body, true, {}};
    co_await send(std::move(call));
}

QCoro::Task<void> APIClient::deleteAlbum(Album album)
{
    const QMap<QString, QString> query{{u"playlist"_s, album.title}};
    APIRequest call{u"DELETE"_s, u"albums"_s, query, std::nullopt, true, {}};
    co_await send(std::move(call));
}

QCoro::Task<void> APIClient::setAlbumIncluded(Album album, QString type, bool included)
{
    const QJsonObject body{{u"playlist"_s, album.title}, {u"type"_s, type}, {u"included"_s, included}};
    APIRequest call{u"PUT"_s, u"albums/include"_s, {}, body, true, {}};
    co_await send(std::move(call));
}

QCoro::Task<void> APIClient::addToAlbum(Medium medium, QString fragment)
{
    const QJsonObject body{{u"uuid"_s, medium.uuid}};
    APIRequest call{u"POST"_s, u"albums/"_s + fragment, {}, body, true, {}};
    co_await send(std::move(call));
}

QCoro::Task<void> APIClient::removeFromAlbum(Medium medium, QString playlist)
{
    const QMap<QString, QString> query{{u"playlist"_s, playlist}, {u"uuid"_s, medium.uuid}};
    APIRequest call{u"DELETE"_s, u"albums"_s, query, std::nullopt, true, {}};
    co_await send(std::move(call));
}

} // namespace lumi
