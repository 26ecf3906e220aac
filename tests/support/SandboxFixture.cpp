#include "support/SandboxFixture.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace lumi::test {

namespace {

constexpr int startTimeoutMs = 30'000;
// Only a guard against a hung sandbox; no test relies on it.
constexpr int replyTimeoutMs = 60'000;
const char* const apiUrlVariable = "LUMIVALE_API_URL";

} // namespace

QJsonValue SandboxFixture::Reply::json() const
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isArray())
        return document.array();
    if (document.isObject())
        return document.object();
    return {};
}

SandboxFixture::SandboxFixture(QStringList extraArguments)
    : m_extraArguments(std::move(extraArguments)), m_network(std::make_unique<QNetworkAccessManager>())
{
    m_network->setProxy(QNetworkProxy::NoProxy);
    if (qEnvironmentVariableIsSet(apiUrlVariable))
        m_savedApiUrl = qgetenv(apiUrlVariable);
    start(0);
}

SandboxFixture::~SandboxFixture()
{
    stop();
    if (m_savedApiUrl)
        qputenv(apiUrlVariable, *m_savedApiUrl);
    else
        qunsetenv(apiUrlVariable);
}

bool SandboxFixture::start(quint16 port)
{
    m_baseUrl.clear();
    if (!m_home.isValid() || !m_state.isValid()) {
        m_error = u"no temporary folder"_s;
        return false;
    }
    m_process.setProgram(QString::fromLocal8Bit(LUMIVALE_SANDBOX_BIN));
    m_process.setArguments(QStringList{u"--port"_s, QString::number(port), u"--state-dir"_s, m_state.path(),
                                       u"--exit-with-parent"_s} +
                           m_extraArguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(startTimeoutMs)) {
        m_error = m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!m_process.canReadLine() && m_process.state() == QProcess::Running && !deadline.hasExpired())
        m_process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    const QUrl url(QString::fromUtf8(m_process.readLine().trimmed()));
    if (!url.isValid() || url.port() <= 0) {
        m_error = u"the sandbox did not print its URL"_s;
        stop();
        return false;
    }
    m_baseUrl = url;
    qputenv(apiUrlVariable, url.toEncoded());
    return true;
}

void SandboxFixture::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10'000)) {
        m_process.kill();
        m_process.waitForFinished(10'000);
    }
}

bool SandboxFixture::restart()
{
    const quint16 port = quint16(m_baseUrl.port());
    stop();
    return start(port);
}

QUrl SandboxFixture::serverUrl() const
{
    QUrl root = m_baseUrl;
    root.setPath(u"/"_s);
    return root;
}

SandboxFixture::Reply SandboxFixture::fetch(const QByteArray& method, const QUrl& url, const QByteArray& body,
                                            const QList<std::pair<QByteArray, QByteArray>>& headers)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    QNetworkReply* reply = m_network->sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(replyTimeoutMs, reply, &QNetworkReply::abort);
    if (!reply->isFinished())
        loop.exec();

    Reply answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.error = reply->error();
    answer.contentType = reply->rawHeader("Content-Type");
    answer.body = reply->readAll();
    reply->deleteLater();
    return answer;
}

SandboxFixture::Reply SandboxFixture::call(const QByteArray& method, const QString& pathAndQuery,
                                           const QString& token, const QJsonObject& body)
{
    const QUrl url = QUrl::fromEncoded(m_baseUrl.toEncoded() + '/' + pathAndQuery.toUtf8());
    QList<std::pair<QByteArray, QByteArray>> headers{{"Accept", "application/json"}};
    if (!token.isEmpty())
        headers.append(std::pair<QByteArray, QByteArray>("Authorization", "Bearer " + token.toUtf8()));
    QByteArray payload;
    if (method == "POST" || method == "PUT") {
        headers.append(std::pair<QByteArray, QByteArray>("Content-Type", "application/json"));
        payload = QJsonDocument(body).toJson(QJsonDocument::Compact);
    }
    return fetch(method, url, payload, headers);
}

SandboxFixture::Reply SandboxFixture::control(const QByteArray& method, const QString& what,
                                              const QByteArray& body)
{
    const Reply reply = fetch(method, serverUrl().resolved(QUrl(u"__sandbox/"_s + what)), body,
                              {{"Content-Type", "application/json"}});
    if (reply.status != 200)
        qWarning("sandbox control %s %s failed: %d %s", method.constData(), qPrintable(what), reply.status,
                 reply.body.constData());
    return reply;
}

QJsonArray SandboxFixture::requests()
{
    return control("GET", u"requests"_s).json().toArray();
}

void SandboxFixture::clearRequests()
{
    control("DELETE", u"requests"_s);
}

bool SandboxFixture::addFault(const QJsonObject& fault)
{
    // No warning here: a refused fault is the caller's to check.
    return fetch("POST", serverUrl().resolved(QUrl(u"__sandbox/faults"_s)),
                 QJsonDocument(fault).toJson(QJsonDocument::Compact), {{"Content-Type", "application/json"}})
               .status == 200;
}

void SandboxFixture::clearFaults()
{
    control("DELETE", u"faults"_s);
}

void SandboxFixture::reset()
{
    control("POST", u"reset"_s);
}

QString SandboxFixture::signInToken(const QString& email, const QString& password)
{
    const Reply reply = call("POST", u"tokens"_s, {}, {{u"email"_s, email}, {u"password"_s, password}});
    return reply.json().toObject().value(u"token"_s).toString();
}

} // namespace lumi::test
