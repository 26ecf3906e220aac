#include "HttpRequest.h"

#include <QUrl>

namespace lumi::sandbox {

QByteArray HttpRequest::header(const QByteArray& lowerName) const
{
    for (const auto& [name, value] : headers) {
        if (name == lowerName)
            return value;
    }
    return {};
}

QList<QPair<QString, QString>> HttpRequest::queryItems() const
{
    QList<QPair<QString, QString>> items;
    if (query.isEmpty())
        return items;
    for (const QByteArray& pair : query.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype eq = pair.indexOf('=');
        const QByteArray name = eq < 0 ? pair : pair.left(eq);
        const QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        items.append({QUrl::fromPercentEncoding(name), QUrl::fromPercentEncoding(value)});
    }
    return items;
}

} // namespace lumi::sandbox
