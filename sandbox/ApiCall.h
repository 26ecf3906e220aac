#pragma once

#include "HttpResponse.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace lumi::sandbox {

struct HttpRequest;
struct SandboxAccount;

// One API request as the endpoint groups see it: the method, the decoded path segments below
// "/api/v6/", the decoded query, the JSON body and the account its bearer token names (none when
// the token is missing or unknown).
struct ApiCall final
{
    QByteArray method;
    QStringList segments;
    QList<QPair<QString, QString>> query;
    QJsonObject body;
    SandboxAccount* account = nullptr;

    bool is(const char* expectedMethod, const QStringList& path) const;
    QString queryValue(const QString& name) const;
    bool hasQueryItem(const QString& name) const;
    // A positive integer from the query; fallback when missing or not a number, clamped to max.
    int queryNumber(const QString& name, int fallback, int max) const;
    QString bodyText(const QString& key) const;

    static HttpResponse unauthorized();
    static HttpResponse notFound(const QString& message);
    static HttpResponse invalid(const QString& message, const QString& code = {});
    static HttpResponse ok(const QString& status = QStringLiteral("ok"));
};

} // namespace lumi::sandbox
