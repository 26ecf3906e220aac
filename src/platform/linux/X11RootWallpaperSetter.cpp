#include "platform/linux/X11RootWallpaperSetter.h"

#include "platform/linux/X11RootPixmap.h"

#include <QCoroFuture>
#include <QtConcurrent>

#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

X11RootWallpaperSetter::X11RootWallpaperSetter(QByteArray display) : m_display(std::move(display)) {}

QString X11RootWallpaperSetter::name() const
{
    return u"X11 root window"_s;
}

QCoro::Task<WallpaperSetResult> X11RootWallpaperSetter::setWallpaper(WallpaperRequest request)
{
    const DisplayInfo& display = request.display;
    // Used only when the X server has no monitor of that name: root pixels from Qt's geometry.
    const QRect fallback(QPoint(int(std::lround(display.geometry.x() * display.devicePixelRatio)),
                                int(std::lround(display.geometry.y() * display.devicePixelRatio))),
                         display.pixelSize);
    QFuture<QString> painting = QtConcurrent::run(&m_painting, &X11RootPixmap::paint, m_display, display.name,
                                                  fallback, request.file, request.picture);
    const QString error = co_await painting;
    if (!error.isEmpty())
        co_return WallpaperSetResult::failure(error);
    co_return WallpaperSetResult::success();
}

} // namespace lumi
