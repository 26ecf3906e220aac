#pragma once

#include "HttpResponse.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace lumi::sandbox {

class Catalog;

// The photo CDN: "<uuid>/<W>x<H>.jpg" and "<uuid>/<W>x<H>c1.jpg" for every catalog photo. A
// variant is drawn on a worker thread the first time it is asked for and kept in the cache
// folder; requests for a variant that is being drawn wait for that one drawing.
class PhotoCdn final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoCdn)

public:
    using Reply = std::function<void(const HttpResponse&)>;

    PhotoCdn(const QString& cacheDir, const Catalog& catalog, QObject* parent = nullptr);

    // cdnPath is the raw path below "/cdn/". The reply may come later, on the main thread.
    void serve(const QByteArray& cdnPath, Reply reply);

private:
    QString m_cacheDir;
    const Catalog& m_catalog;
    QHash<QString, QList<Reply>> m_waiting; // by cache file
};

} // namespace lumi::sandbox
