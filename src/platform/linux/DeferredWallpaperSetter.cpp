#include "platform/linux/DeferredWallpaperSetter.h"

#include "model/AppLog.h"
#include "platform/linux/UnsupportedWallpaperSetter.h"

#include <QCoroSignal>
#include <QPointer>

#include <exception>

using namespace Qt::StringLiterals;

namespace lumi {

DeferredWallpaperSetter::DeferredWallpaperSetter(QCoro::Task<std::unique_ptr<WallpaperSetter>> choice,
                                                 QObject* parent)
    : QObject(parent)
{
    // The returned task is dropped on purpose: decide ends by itself and logs its own failure.
    decide(std::move(choice));
}

DeferredWallpaperSetter::~DeferredWallpaperSetter() = default;

QCoro::Task<void> DeferredWallpaperSetter::decide(QCoro::Task<std::unique_ptr<WallpaperSetter>> choice)
{
    const QPointer<DeferredWallpaperSetter> self(this);
    std::unique_ptr<WallpaperSetter> setter;
    try {
        setter = co_await choice;
    } catch (const std::exception& error) {
        AppLog(u"wallpaper"_s)
            .error(u"can't find out how to set wallpapers here: "_s + QString::fromUtf8(error.what()));
    }
    if (!self)
        co_return;
    m_setter = std::move(setter);
    m_decided = true;
    emit decided();
}

QCoro::Task<void> DeferredWallpaperSetter::decision()
{
    if (!m_decided)
        co_await qCoro(this, &DeferredWallpaperSetter::decided);
}

WallpaperSetResult DeferredWallpaperSetter::unsupported(const QString& file)
{
    return WallpaperSetResult::unsupported(
        UnsupportedWallpaperSetter::explain(u"This desktop offers no way of setting the wallpaper."_s, file));
}

QCoro::Task<WallpaperSetResult> DeferredWallpaperSetter::setWallpaper(WallpaperRequest request)
{
    co_await decision();
    if (!m_setter)
        co_return unsupported(request.file);
    co_return co_await m_setter->setWallpaper(std::move(request));
}

QCoro::Task<QList<WallpaperSetResult>>
DeferredWallpaperSetter::setWallpapers(QList<WallpaperRequest> requests)
{
    co_await decision();
    if (m_setter)
        co_return co_await m_setter->setWallpapers(std::move(requests));
    QList<WallpaperSetResult> results;
    for (const WallpaperRequest& request : std::as_const(requests))
        results.append(unsupported(request.file));
    co_return results;
}

QStringList DeferredWallpaperSetter::filesInUse() const
{
    return m_setter ? m_setter->filesInUse() : QStringList();
}

bool DeferredWallpaperSetter::paintsPicture() const
{
    return m_setter && m_setter->paintsPicture();
}

bool DeferredWallpaperSetter::wantsWholeChanges() const
{
    return !m_setter || m_setter->wantsWholeChanges();
}

QString DeferredWallpaperSetter::name() const
{
    return m_setter ? m_setter->name() : u"not chosen yet"_s;
}

} // namespace lumi
