#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

namespace lumi::sandbox {

// What the server answers to one request. `drop` closes the connection without any answer.
struct HttpResponse final
{
    int status = 200;
    QByteArray contentType = QByteArrayLiteral("application/json");
    QByteArray body;
    QByteArray location; // sent as "Location" when set
    bool drop = false;

    static HttpResponse json(const QJsonValue& value, int status = 200);
    // The service's error body: {"error": message} plus "code" when given.
    static HttpResponse error(int status, const QString& message, const QString& code = {});
    static HttpResponse dropped();
    static QByteArray reasonPhrase(int status);
};

} // namespace lumi::sandbox
