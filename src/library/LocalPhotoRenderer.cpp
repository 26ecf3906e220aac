#include "library/LocalPhotoRenderer.h"

#include "imaging/JpegFile.h"
#include "imaging/PhotoDecoder.h"
#include "library/LocalPhotos.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/MediaFormat.h"

#include <QCoroFuture>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace lumi {

namespace {

// One render at a time, below the priority of the interface.
QThreadPool& renderPool()
{
    static QThreadPool pool;
    static const bool configured = [] {
        pool.setMaxThreadCount(1);
        pool.setThreadPriority(QThread::LowPriority);
        return true;
    }();
    Q_UNUSED(configured);
    return pool;
}

// The photo decoded with its larger side at most maxSide, drawn on black at target as the fit
// setting says; null when the source is no readable image.
QImage onBlack(const QString& source, QSize target, int maxSide, const std::optional<QString>& fitSetting)
{
    QString error;
    const QImage image = PhotoDecoder(source).decodeWithin(maxSide, &error);
    if (image.isNull())
        return image;
    QImage canvas(target, QImage::Format_RGB32);
    if (canvas.isNull())
        return canvas;
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const LocalPhotos::Fit fit = LocalPhotos::fitMode(fitSetting, image.width(), image.height());
        painter.drawImage(LocalPhotos::fittedRect(target, image.size(), fit), image);
    }
    return canvas;
}

} // namespace

bool LocalPhotoRenderer::render(const QString& source, const QString& destination, QSize target,
                                const std::optional<QString>& fitSetting)
{
    if (target.isEmpty())
        return false;
    const QImage canvas = onBlack(source, target, 2 * std::max(target.width(), target.height()), fitSetting);
    return !canvas.isNull() && !JpegFile::write(canvas, destination, JpegFile::photoQuality);
}

bool LocalPhotoRenderer::writePreview(const QString& source, const QString& destination)
{
    // A preview always covers, whatever the imported-photos setting says.
    const QImage canvas =
        onBlack(source, QSize(previewWidth, previewHeight), previewSource, QStringLiteral("cover"));
    if (canvas.isNull())
        return false;
    QDir().mkpath(QFileInfo(destination).path());
    return !JpegFile::write(canvas, destination, previewQuality);
}

QCoro::Task<bool> LocalPhotoRenderer::renderLocalPhoto(QString source, QString destination,
                                                       MediaFormat format, std::optional<QString> fitSetting)
{
    const QSize target(format.width, format.height);
    co_return co_await QtConcurrent::run(&renderPool(), &LocalPhotoRenderer::render, source, destination,
                                         target, fitSetting);
}

QCoro::Task<bool> LocalPhotoRenderer::renderThumbnail(QString source, QString destination)
{
    co_return co_await QtConcurrent::run(&renderPool(), &LocalPhotoRenderer::writePreview, source,
                                         destination);
}

bool LocalPhotoRenderer::isRenderCurrent(const QString& output, const QString& source, const QString& look,
                                         const Defaults& defaults)
{
    const QFileInfo outputInfo(output);
    const QFileInfo sourceInfo(source);
    if (!outputInfo.exists() || !sourceInfo.exists())
        return false;
    if (outputInfo.lastModified() < sourceInfo.lastModified())
        return false;
    return look.isEmpty() || defaults.stringValue(keys::syncLocalLook) == look;
}

} // namespace lumi
