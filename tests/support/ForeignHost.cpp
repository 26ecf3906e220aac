#include "support/ForeignHost.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace lumi::test {

ForeignHost::ForeignHost()
{
    m_server.listen(QHostAddress(u"127.0.0.2"_s));
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            ++m_knocks;
            socket->abort();
            socket->deleteLater();
        }
    });
}

QUrl ForeignHost::url(const QString& path) const
{
    QUrl url;
    url.setScheme(u"http"_s);
    url.setHost(u"127.0.0.2"_s);
    url.setPort(m_server.serverPort());
    url.setPath(path);
    return url;
}

} // namespace lumi::test
