#pragma once

#include "support/TemporaryHome.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QNetworkReply>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace lumi::test {

/// Runs a private lumivale-sandbox for one test: a fresh state folder, a free port on 127.0.0.1,
/// a temporary HOME with its XDG folders, and LUMIVALE_API_URL pointing at the sandbox. Everything
/// is stopped and restored on destruction. The helpers block; they are for test code only.
class SandboxFixture final
{
public:
    static inline const QString demoEmail = QStringLiteral("demo@lumivale.test");
    static inline const QString demoPassword = QStringLiteral("lumivale-demo");
    static inline const QString secondEmail = QStringLiteral("second@lumivale.test");
    static inline const QString secondPassword = QStringLiteral("lumivale-second");

    /// One answer as the sandbox sent it; status 0 when no HTTP answer came (a dropped connection).
    struct Reply
    {
        int status = 0;
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QByteArray contentType;
        QByteArray body;

        QJsonValue json() const;
    };

    /// extraArguments go to the sandbox at every start, "--bulk-collection" say.
    explicit SandboxFixture(QStringList extraArguments = {});
    ~SandboxFixture();
    SandboxFixture(const SandboxFixture&) = delete;
    SandboxFixture& operator=(const SandboxFixture&) = delete;

    bool isRunning() const { return m_process.state() == QProcess::Running && m_baseUrl.isValid(); }
    QString errorString() const { return m_error; }
    /// The API base, "http://127.0.0.1:<port>/api/v6", as the app gets it through LUMIVALE_API_URL.
    QUrl baseUrl() const { return m_baseUrl; }
    /// The server's root, where the CDN ("/cdn/<uuid>/") and the test controls live.
    QUrl serverUrl() const;
    QString homePath() const { return m_home.path(); }
    QString stateDir() const { return m_state.path(); }

    /// Restarts the sandbox on the same port and state folder, as a service that came back.
    bool restart();

    QJsonArray requests();
    void clearRequests();
    /// Adds a fault as the sandbox's control API describes it; false when the sandbox refuses it.
    bool addFault(const QJsonObject& fault);
    void clearFaults();
    /// Seeded state again, with no recorded requests and no faults.
    void reset();

    /// Signs in with POST tokens and returns the token; empty when the sign-in fails.
    QString signInToken(const QString& email = demoEmail, const QString& password = demoPassword);

    /// A request to the API: pathAndQuery is relative to baseUrl() and used exactly as written
    /// (percent-encoding kept). POST and PUT send the JSON body ("{}" when empty); GET and DELETE
    /// send none. A token adds "Authorization: Bearer <token>".
    Reply call(const QByteArray& method, const QString& pathAndQuery, const QString& token = {},
               const QJsonObject& body = {});
    /// Any request to any URL, with a raw body.
    Reply fetch(const QByteArray& method, const QUrl& url, const QByteArray& body = {},
                const QList<std::pair<QByteArray, QByteArray>>& headers = {});

private:
    bool start(quint16 port);
    void stop();
    Reply control(const QByteArray& method, const QString& what, const QByteArray& body = {});

    QStringList m_extraArguments;
    TemporaryHome m_home;
    QTemporaryDir m_state;
    QProcess m_process;
    QUrl m_baseUrl;
    QString m_error;
    std::optional<QByteArray> m_savedApiUrl;
    std::unique_ptr<QNetworkAccessManager> m_network;
};

} // namespace lumi::test
