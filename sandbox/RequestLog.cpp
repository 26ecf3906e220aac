#include "RequestLog.h"

#include "HttpRequest.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

void RequestLog::record(const HttpRequest& request)
{
    QJsonObject headers;
    for (const auto& [name, value] : request.headers) {
        const QString key = QString::fromLatin1(name);
        const QString text = QString::fromUtf8(value);
        const QString held = headers.value(key).toString();
        headers.insert(key, held.isEmpty() ? text : held + u", "_s + text);
    }
    m_entries.append(QJsonObject{
        {u"method"_s, QString::fromLatin1(request.method)},
        {u"path"_s, QString::fromLatin1(request.path)},
        {u"query"_s, QString::fromLatin1(request.query)},
        {u"hasQuery"_s, request.hasQuery},
        {u"headers"_s, headers},
        {u"body"_s, QString::fromUtf8(request.body)},
    });
}

} // namespace lumi::sandbox
