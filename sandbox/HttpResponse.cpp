#include "HttpResponse.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

HttpResponse HttpResponse::json(const QJsonValue& value, int status)
{
    HttpResponse response;
    response.status = status;
    const QJsonDocument document =
        value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    response.body = document.toJson(QJsonDocument::Compact);
    return response;
}

HttpResponse HttpResponse::error(int status, const QString& message, const QString& code)
{
    QJsonObject body{{u"error"_s, message}};
    if (!code.isEmpty())
        body.insert(u"code"_s, code);
    return json(body, status);
}

HttpResponse HttpResponse::dropped()
{
    HttpResponse response;
    response.drop = true;
    return response;
}

QByteArray HttpResponse::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 409:
        return "Conflict";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 422:
        return "Unprocessable Entity";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Status";
    }
}

} // namespace lumi::sandbox
