#pragma once

#include "Fault.h"
#include "RequestLog.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <functional>
#include <memory>

namespace lumi::sandbox {

class AccountStore;
class ApiRouter;
class Catalog;
class HttpConnection;
class PhotoCdn;
struct HttpRequest;
struct HttpResponse;

// The whole stand-in service on 127.0.0.1: the REST API under "/api/v6/", the photo CDN under
// "/cdn/" and the test controls under "/__sandbox/" (request record, injected faults, reset).
class SandboxServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SandboxServer)

public:
    // bulkCount photos more are listed under Catalog::bulkPath only.
    explicit SandboxServer(const QString& stateDir, int bulkCount = 0, QObject* parent = nullptr);
    ~SandboxServer() override;

    // Listens on the port (0 picks a free one) and loads or seeds the state.
    bool start(quint16 port, QString* problem);
    QString apiUrl() const;

private:
    void handle(HttpConnection* connection, const HttpRequest& request);
    void answer(const HttpRequest& request, const std::function<void(const HttpResponse&)>& reply);
    HttpResponse control(const HttpRequest& request);
    std::optional<Fault> takeFault(const HttpRequest& request);

    QString m_stateDir;
    int m_bulkCount;
    QTcpServer m_server;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<AccountStore> m_store;
    std::unique_ptr<ApiRouter> m_router;
    PhotoCdn* m_cdn = nullptr;
    RequestLog m_requests;
    QList<Fault> m_faults;
    // The update feed served at /appcast.xml, as a test set it; none until then.
    QByteArray m_appcast;
};

} // namespace lumi::sandbox
