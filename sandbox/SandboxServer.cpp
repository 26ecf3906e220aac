#include "SandboxServer.h"

#include "AccountStore.h"
#include "ApiRouter.h"
#include "Catalog.h"
#include "HttpConnection.h"
#include "HttpRequest.h"
#include "HttpResponse.h"
#include "PhotoCdn.h"

#include <QDir>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

namespace {

const QByteArray apiPrefix = QByteArrayLiteral("/api/v6/");
const QByteArray cdnPrefix = QByteArrayLiteral("/cdn/");
const QByteArray controlPrefix = QByteArrayLiteral("/__sandbox/");
const QByteArray appcastPath = QByteArrayLiteral("/appcast.xml");
constexpr qsizetype shortPhotoBytes = 1000;

} // namespace

SandboxServer::SandboxServer(const QString& stateDir, int bulkCount, QObject* parent)
    : QObject(parent), m_stateDir(QDir(stateDir).absolutePath()), m_bulkCount(bulkCount)
{
}

SandboxServer::~SandboxServer() = default;

bool SandboxServer::start(quint16 port, QString* problem)
{
    if (!QDir().mkpath(m_stateDir)) {
        *problem = u"cannot create the state folder %1"_s.arg(m_stateDir);
        return false;
    }
    if (!m_server.listen(QHostAddress::LocalHost, port)) {
        *problem = m_server.errorString();
        return false;
    }
    const QString origin = u"http://127.0.0.1:%1"_s.arg(m_server.serverPort());
    m_catalog = std::make_unique<Catalog>(origin + QString::fromLatin1(cdnPrefix), m_bulkCount);
    m_store = std::make_unique<AccountStore>(m_stateDir, *m_catalog);
    m_store->loadOrSeed();
    m_router = std::make_unique<ApiRouter>(*m_store, *m_catalog);
    m_cdn = new PhotoCdn(m_stateDir + u"/cdn"_s, *m_catalog, this);

    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            new HttpConnection(
                socket,
                [this](HttpConnection* connection, const HttpRequest& request) {
                    handle(connection, request);
                },
                this);
        }
    });
    return true;
}

QString SandboxServer::apiUrl() const
{
    return u"http://127.0.0.1:%1/api/v6"_s.arg(m_server.serverPort());
}

void SandboxServer::handle(HttpConnection* connection, const HttpRequest& request)
{
    if (request.path.startsWith(controlPrefix)) {
        connection->respond(control(request));
        return;
    }
    m_requests.record(request);
    const std::optional<Fault> fault = takeFault(request);
    const QPointer<HttpConnection> target(connection);

    const auto proceed = [this, target, request, fault] {
        if (!target)
            return;
        if (fault && fault->drop) {
            target->respond(HttpResponse::dropped());
            return;
        }
        if (fault && fault->status) {
            HttpResponse response;
            response.status = *fault->status;
            response.contentType = fault->contentType;
            response.body = fault->body.value_or(
                QJsonDocument(QJsonObject{{u"error"_s, u"Injected fault %1."_s.arg(*fault->status)}})
                    .toJson(QJsonDocument::Compact));
            target->respond(response);
            return;
        }
        if (fault && !fault->redirect.isEmpty()) {
            HttpResponse response;
            response.status = 302;
            response.location = fault->redirect;
            target->respond(response);
            return;
        }
        if (fault && fault->photo == u"missing") {
            target->respond(HttpResponse::error(404, u"No such photo variant."_s));
            return;
        }
        const bool cut = fault && fault->photo == u"short";
        const qsizetype padTo = fault ? fault->padTo : 0;
        answer(request, [target, cut, padTo](const HttpResponse& response) {
            if (!target)
                return;
            HttpResponse changed = response;
            if (cut) {
                changed.status = 200;
                changed.body.truncate(shortPhotoBytes);
            }
            // Blanks after the opening brace keep the answer the same JSON, only larger.
            if (changed.body.startsWith('{') && changed.body.size() < padTo)
                changed.body.insert(1, QByteArray(padTo - changed.body.size(), ' '));
            target->respond(changed);
        });
    };

    if (fault && fault->delayMs > 0)
        QTimer::singleShot(fault->delayMs, this, proceed);
    else
        proceed();
}

void SandboxServer::answer(const HttpRequest& request, const std::function<void(const HttpResponse&)>& reply)
{
    if (request.path.startsWith(apiPrefix)) {
        reply(m_router->handle(request, request.path.mid(apiPrefix.size())));
        return;
    }
    if (request.path.startsWith(cdnPrefix) && request.method == "GET") {
        m_cdn->serve(request.path.mid(cdnPrefix.size()), reply);
        return;
    }
    if (request.path == appcastPath && request.method == "GET" && !m_appcast.isEmpty()) {
        HttpResponse feed;
        feed.contentType = QByteArrayLiteral("application/rss+xml");
        feed.body = m_appcast;
        reply(feed);
        return;
    }
    reply(HttpResponse::error(404, u"Nothing lives at %1."_s.arg(QString::fromLatin1(request.path))));
}

std::optional<Fault> SandboxServer::takeFault(const HttpRequest& request)
{
    for (qsizetype i = 0; i < m_faults.size(); ++i) {
        Fault& fault = m_faults[i];
        if (!fault.matches(request.method, request.path))
            continue;
        const Fault hit = fault;
        if (fault.remaining > 0 && --fault.remaining == 0)
            m_faults.removeAt(i);
        return hit;
    }
    return std::nullopt;
}

HttpResponse SandboxServer::control(const HttpRequest& request)
{
    const QByteArray what = request.path.mid(controlPrefix.size());
    const QByteArray& method = request.method;
    if (what == "requests" && method == "GET")
        return HttpResponse::json(m_requests.entries());
    if (what == "requests" && method == "DELETE") {
        m_requests.clear();
        return HttpResponse::json(QJsonObject{{u"status"_s, u"ok"_s}});
    }
    if (what == "faults" && method == "GET") {
        QJsonArray faults;
        for (const Fault& fault : std::as_const(m_faults))
            faults.append(fault.described);
        return HttpResponse::json(faults);
    }
    if (what == "faults" && method == "POST") {
        QString problem;
        const QJsonDocument document = QJsonDocument::fromJson(request.body);
        std::optional<Fault> fault =
            document.isObject() ? Fault::fromJson(document.object(), &problem) : std::nullopt;
        if (!fault)
            return HttpResponse::error(400, problem.isEmpty() ? u"Send a JSON object."_s : problem);
        m_faults.append(*fault);
        return HttpResponse::json(QJsonObject{{u"status"_s, u"ok"_s}, {u"faults"_s, m_faults.size()}});
    }
    if (what == "faults" && method == "DELETE") {
        m_faults.clear();
        return HttpResponse::json(QJsonObject{{u"status"_s, u"ok"_s}});
    }
    if (what == "appcast" && method == "PUT") {
        m_appcast = request.body;
        return HttpResponse::json(QJsonObject{{u"status"_s, u"ok"_s}});
    }
    if (what == "reset" && method == "POST") {
        m_store->reset();
        m_requests.clear();
        m_faults.clear();
        return HttpResponse::json(QJsonObject{{u"status"_s, u"ok"_s}});
    }
    return HttpResponse::error(
        404, u"Unknown control: %1 %2"_s.arg(QString::fromLatin1(method), QString::fromLatin1(request.path)));
}

} // namespace lumi::sandbox
