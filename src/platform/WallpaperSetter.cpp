#include "platform/WallpaperSetter.h"

#include <vector>

namespace lumi {

QCoro::Task<QList<WallpaperSetResult>> WallpaperSetter::setWallpapers(QList<WallpaperRequest> requests)
{
    // Started together: each display is set while the others are.
    std::vector<QCoro::Task<WallpaperSetResult>> running;
    running.reserve(std::size_t(requests.size()));
    for (WallpaperRequest& request : requests)
        running.push_back(setWallpaper(std::move(request)));
    QList<WallpaperSetResult> results;
    for (QCoro::Task<WallpaperSetResult>& task : running)
        results.append(co_await std::move(task));
    co_return results;
}

} // namespace lumi
