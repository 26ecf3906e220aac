#pragma once

#include "model/APIError.h"
#include "model/APIRequest.h"
#include "model/AppLog.h"
#include "model/JsonReader.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace lumi {

struct Album;
struct MediaQuery;
struct Medium;
class ProblemSink;
struct PhotoResponse;
struct RefreshResponse;
struct SignInResponse;
struct UserResponse;

/// The only client of the service's REST API. Every call makes exactly one transfer and maps
/// every failure to APIError; retries and re-authentication are the callers' business.
class APIClient final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(APIClient)

public:
    /// Undecodable answers are reported to `problems`.
    explicit APIClient(ProblemSink& problems, QObject* parent = nullptr);
    ~APIClient() override;

    /// The service's base URL: LUMIVALE_API_URL when set, else the production service.
    static QUrl baseURL();

    /// The session token sent as a bearer token on authenticated calls.
    void setToken(std::optional<QString> token) { m_token = std::move(token); }
    const std::optional<QString>& token() const { return m_token; }

    /// The one HTTP session; the URL cache is installed on it and photo downloads share it.
    QNetworkAccessManager& network() const { return *m_network; }

    /// Sends the request and decodes a 2xx answer as T; throws APIError.
    template <typename T> QCoro::Task<T> request(APIRequest request)
    {
        const QByteArray body = co_await transfer(request);
        QString error;
        std::optional<T> value = JsonReader::decode<T>(body, &error);
        if (!value)
            throw decodeFailure(request, error);
        co_return std::move(*value);
    }

    /// Sends the request and ignores the answer body; throws APIError.
    QCoro::Task<void> send(APIRequest request);

    /// Telemetry road: posts JSON bytes as they are; true when the server accepted them. Never throws.
    QCoro::Task<bool> postJSON(QString path, QMap<QString, QString> query, QByteArray body);

    static std::optional<QString> serverErrorCode(const QByteArray& body);
    static std::optional<QString> serverErrorMessage(const QByteArray& body);

    /// One page of a photo listing; throws APIError.
    QCoro::Task<QList<Medium>> mediaPage(MediaQuery query, CancelToken cancel = {});

    // Account, password, sharing, survey and playlist operations.
    QCoro::Task<SignInResponse> signIn(QString email, QString password);
    QCoro::Task<RefreshResponse> refreshToken();
    QCoro::Task<void> requestPasswordReset(QString email);
    QCoro::Task<void> validateResetCode(QString email, QString code);
    QCoro::Task<void> setPassword(QString email, QString code, QString password);
    QCoro::Task<UserResponse> updateUser(QJsonObject fields);
    QCoro::Task<void> changePassword(QString password);
    QCoro::Task<void> sharePhoto(Medium medium, QString email, QString comment);
    QCoro::Task<void> updateSurvey();
    QCoro::Task<PhotoResponse> fetchPhoto(QString prefix);
    QCoro::Task<QSet<QString>> fetchFavoriteUUIDs();
    QCoro::Task<Album> createAlbum(QString title, QString local);
    QCoro::Task<void> updateAlbum(Album album, QString newTitle, std::optional<QString> local);
    QCoro::Task<void> deleteAlbum(Album album);
    QCoro::Task<void> setAlbumIncluded(Album album, QString type, bool included);
    QCoro::Task<void> addToAlbum(Medium medium, QString fragment);
    QCoro::Task<void> removeFromAlbum(Medium medium, QString playlist);

signals:
    /// A request got no answer (not counting one the caller cancelled).
    void unreachable();
    /// The service answered a request, whatever its status.
    void answered();

private:
    /// Sends the request; returns the body of a 2xx answer, throws APIError otherwise.
    QCoro::Task<QByteArray> transfer(APIRequest request);
    /// Logs, reports to the crash reporter and returns the error to throw.
    APIError decodeFailure(const APIRequest& request, const QString& error) const;

    ProblemSink& m_problems;
    QNetworkAccessManager* m_network;
    std::optional<QString> m_token;
    AppLog m_log;
};

} // namespace lumi
