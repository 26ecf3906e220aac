#include "PhotoCdn.h"

#include "Catalog.h"
#include "PhotoRenderer.h"

#include <QDir>
#include <QFile>
#include <QFutureWatcher>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

namespace {

constexpr int maxWidth = 7680;
constexpr int maxHeight = 4320;
constexpr int minSide = 16;

QByteArray loadOrRender(const QString& file, const QString& uuid, const QString& title, int width, int height)
{
    QFile cached(file);
    if (cached.open(QIODevice::ReadOnly))
        return cached.readAll();
    const QByteArray jpeg = PhotoRenderer::renderJpeg(uuid, title, width, height);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!jpeg.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(jpeg) == jpeg.size())
        out.commit();
    return jpeg;
}

} // namespace

PhotoCdn::PhotoCdn(const QString& cacheDir, const Catalog& catalog, QObject* parent)
    : QObject(parent), m_cacheDir(cacheDir), m_catalog(catalog)
{
}

void PhotoCdn::serve(const QByteArray& cdnPath, Reply reply)
{
    static const QRegularExpression variantPattern(u"^([0-9]{1,5})x([0-9]{1,5})(c1)?\\.jpg$"_s);
    const QList<QByteArray> parts = cdnPath.split('/');
    const CatalogPhoto* photo = parts.size() == 2 ? m_catalog.photo(QString::fromLatin1(parts[0])) : nullptr;
    const QRegularExpressionMatch variant =
        parts.size() == 2 ? variantPattern.match(QString::fromLatin1(parts[1])) : QRegularExpressionMatch();
    const int width = variant.captured(1).toInt();
    const int height = variant.captured(2).toInt();
    if (!photo || !variant.hasMatch() || width < minSide || height < minSide || width > maxWidth ||
        height > maxHeight) {
        reply(HttpResponse::error(404, u"No such photo variant."_s));
        return;
    }

    const QString file = m_cacheDir + u'/' + photo->uuid + u'/' + variant.captured(0);
    QList<Reply>& waiting = m_waiting[file];
    waiting.append(std::move(reply));
    if (waiting.size() > 1)
        return;

    auto* watcher = new QFutureWatcher<QByteArray>(this);
    connect(watcher, &QFutureWatcher<QByteArray>::finished, this, [this, watcher, file] {
        HttpResponse response;
        response.body = watcher->result();
        response.contentType = QByteArrayLiteral("image/jpeg");
        if (response.body.isEmpty())
            response = HttpResponse::error(500, u"The photo could not be drawn."_s);
        const QList<Reply> replies = m_waiting.take(file);
        for (const Reply& waiter : replies)
            waiter(response);
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(loadOrRender, file, photo->uuid, photo->title, width, height));
}

} // namespace lumi::sandbox
