#pragma once

#include "HttpRequest.h"

#include <QObject>

#include <functional>

class QTcpSocket;

namespace lumi::sandbox {

struct HttpResponse;

// One client connection speaking HTTP/1.1 with keep-alive and Content-Length bodies. Requests are
// handed out one at a time: the next is parsed only after the previous one was answered, so
// answers always leave in request order even when a handler answers later (delays, photos).
class HttpConnection final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HttpConnection)

public:
    using Handler = std::function<void(HttpConnection*, const HttpRequest&)>;

    HttpConnection(QTcpSocket* socket, Handler handler, QObject* parent = nullptr);

    // Answers the request handed out last. A dropped response closes the connection silently.
    void respond(const HttpResponse& response);

private:
    void parseNext();
    void fail(int status);

    QTcpSocket* m_socket;
    Handler m_handler;
    QByteArray m_buffer;
    bool m_busy = false;
    bool m_keepAlive = true;
    bool m_continued = false; // "100 Continue" already sent for the request being received
};

} // namespace lumi::sandbox
