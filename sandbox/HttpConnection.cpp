#include "HttpConnection.h"

#include "HttpResponse.h"

#include <QTcpSocket>
#include <QTimer>

namespace lumi::sandbox {

namespace {

constexpr qsizetype maxHeaderBytes = 64 * 1024;
constexpr qsizetype maxBodyBytes = 64 * 1024 * 1024;

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, Handler handler, QObject* parent)
    : QObject(parent), m_socket(socket), m_handler(std::move(handler))
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        m_buffer += m_socket->readAll();
        parseNext();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

void HttpConnection::respond(const HttpResponse& response)
{
    if (!m_busy)
        return;
    m_busy = false;
    if (response.drop) {
        m_socket->abort();
        deleteLater();
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                      HttpResponse::reasonPhrase(response.status) + "\r\n";
    if (!response.contentType.isEmpty())
        head += "Content-Type: " + response.contentType + "\r\n";
    if (!response.location.isEmpty())
        head += "Location: " + response.location + "\r\n";
    head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += m_keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    m_socket->write(head);
    m_socket->write(response.body);
    if (!m_keepAlive) {
        m_socket->disconnectFromHost();
        return;
    }
    // A pipelined request may already wait in the buffer; parse it outside this call chain.
    QTimer::singleShot(0, this, &HttpConnection::parseNext);
}

void HttpConnection::parseNext()
{
    if (m_busy || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    const qsizetype headEnd = m_buffer.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (m_buffer.size() > maxHeaderBytes)
            fail(431);
        return;
    }
    const QList<QByteArray> lines = m_buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
        fail(400);
        return;
    }

    HttpRequest request;
    request.method = requestLine[0];
    QByteArray target = requestLine[1];
    if (target.startsWith("http://") || target.startsWith("https://")) {
        const qsizetype pathStart = target.indexOf('/', target.indexOf("//") + 2);
        target = pathStart < 0 ? QByteArray("/") : target.mid(pathStart);
    }
    const qsizetype questionMark = target.indexOf('?');
    request.hasQuery = questionMark >= 0;
    request.path = request.hasQuery ? target.left(questionMark) : target;
    request.query = request.hasQuery ? target.mid(questionMark + 1) : QByteArray();

    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.append({line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
    }

    if (!request.header("transfer-encoding").isEmpty()) {
        fail(411); // only Content-Length bodies; Qt's clients never chunk a request
        return;
    }
    bool lengthOk = true;
    const QByteArray lengthText = request.header("content-length");
    const qsizetype length = lengthText.isEmpty() ? 0 : lengthText.toLongLong(&lengthOk);
    if (!lengthOk || length < 0 || length > maxBodyBytes) {
        fail(lengthOk && length > maxBodyBytes ? 413 : 400);
        return;
    }
    if (m_buffer.size() < headEnd + 4 + length) {
        // curl and friends wait for this before they send a larger body.
        if (!m_continued && request.header("expect").toLower() == "100-continue") {
            m_continued = true;
            m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
        }
        return;
    }
    m_continued = false;
    request.body = m_buffer.mid(headEnd + 4, length);
    m_buffer.remove(0, headEnd + 4 + length);

    const QByteArray connection = request.header("connection").toLower();
    m_keepAlive =
        requestLine[2] == "HTTP/1.1" ? !connection.contains("close") : connection.contains("keep-alive");
    m_busy = true;
    m_handler(this, request);
}

void HttpConnection::fail(int status)
{
    m_busy = true;
    m_keepAlive = false;
    m_buffer.clear();
    respond(HttpResponse::error(status, QString::fromLatin1(HttpResponse::reasonPhrase(status))));
}

} // namespace lumi::sandbox
