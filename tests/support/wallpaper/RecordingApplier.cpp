#include "support/wallpaper/RecordingApplier.h"

#include <QCoroSignal>

namespace lumi::test {

QCoro::Task<void> RecordingApplier::applyWallpaper(Medium photo, DisplayInfo display,
                                                   std::optional<CalendarOverlay> overlay, WallpaperFit fit,
                                                   std::optional<QString> title, bool useCDN,
                                                   bool forceDownload)
{
    m_calls.append(Call{photo, display, overlay, fit, title, useCDN, forceDownload});
    if (m_holding)
        co_await qCoro(&m_released, &WakeSignal::woken);
    for (qsizetype i = 0; i < m_failures.size(); ++i) {
        if (m_failures[i].first.isEmpty() || m_failures[i].first == display.name)
            throw m_failures.takeAt(i).second;
    }
}

void RecordingApplier::failNext(int count, const WallpaperError& error, const QString& displayName)
{
    for (int i = 0; i < count; ++i)
        m_failures.append({displayName, error});
}

void RecordingApplier::release()
{
    m_holding = false;
    emit m_released.woken(true);
}

QStringList RecordingApplier::photoIds() const
{
    QStringList ids;
    for (const Call& call : m_calls)
        ids.append(call.photo.uuid);
    return ids;
}

} // namespace lumi::test
