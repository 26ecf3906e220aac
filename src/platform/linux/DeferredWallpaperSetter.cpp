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
        AppLog(u"wallpaper"_s).error(u"can't find out how to set wallpapers here: "_s +
                                     QString::fromUtf8(error.what()));
    }
    if (!self)
        co_return;
    m_setter = std::move(setter);
    m_decided = true;
    emit decided();
}

QCoro::Task<WallpaperSetResult> DeferredWallpaperSetter::setWallpaper(WallpaperRequest request)
{
    if (!m_decided)
        co_await qCoro(this, &DeferredWallpaperSetter::decided);
    if (!m_setter)
        co_return WallpaperSetResult::unsupported(UnsupportedWallpaperSetter::explain(
            u"This desktop offers no way of setting the wallpaper."_s, request.file));
    co_return co_await m_setter->setWallpaper(std::move(request));
}

QStringList DeferredWallpaperSetter::filesInUse() const
{
    return m_setter ? m_setter->filesInUse() : QStringList();
}

bool DeferredWallpaperSetter::paintsPicture() const
{
    return m_setter && m_setter->paintsPicture();
}

QString DeferredWallpaperSetter::name() const
{
    return m_setter ? m_setter->name() : u"not chosen yet"_s;
}

} // namespace lumi
