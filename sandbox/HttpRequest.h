#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace lumi::sandbox {

// One parsed HTTP/1.1 request. Path and query stay raw (percent-encoding kept) so that tests can
// see exactly what the client put on the wire.
struct HttpRequest final
{
    QByteArray method;
    QByteArray path;
    QByteArray query;
    bool hasQuery = false;
    QList<QPair<QByteArray, QByteArray>> headers; // names lower-cased, in arrival order
    QByteArray body;

    QByteArray header(const QByteArray& lowerName) const;
    // Query items percent-decoded; "+" stays a plus, as Qt's own URL classes send it.
    QList<QPair<QString, QString>> queryItems() const;
};

} // namespace lumi::sandbox
