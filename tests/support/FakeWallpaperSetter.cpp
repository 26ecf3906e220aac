#include "support/FakeWallpaperSetter.h"

using namespace Qt::StringLiterals;

namespace lumi::test {

QCoro::Task<WallpaperSetResult> FakeWallpaperSetter::setWallpaper(WallpaperRequest request)
{
    m_requests.append(request);
    const WallpaperSetResult result =
        m_results.isEmpty() ? WallpaperSetResult::success() : m_results.takeFirst();
    if (result.ok())
        m_shown.insert(request.display.name, request.file);
    co_return result;
}

QCoro::Task<QList<WallpaperSetResult>> FakeWallpaperSetter::setWallpapers(QList<WallpaperRequest> requests)
{
    m_changes.append(requests.size());
    QCoro::Task<QList<WallpaperSetResult>> setting = WallpaperSetter::setWallpapers(std::move(requests));
    co_return co_await std::move(setting);
}

QString FakeWallpaperSetter::name() const
{
    return u"fake"_s;
}

void FakeWallpaperSetter::failNext(int count, const QString& reason)
{
    for (int i = 0; i < count; ++i)
        m_results.append(WallpaperSetResult::failure(reason));
}

} // namespace lumi::test
