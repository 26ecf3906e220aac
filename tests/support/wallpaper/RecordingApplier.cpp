#include "support/wallpaper/RecordingApplier.h"

#include <QCoroSignal>

namespace lumi::test {

QCoro::Task<QList<std::exception_ptr>>
RecordingApplier::applyWallpapers(QList<WallpaperPlacement> placements,
                                  std::optional<CalendarOverlay> overlay, WallpaperFit fit, bool useCDN,
                                  bool forceDownload)
{
    for (const WallpaperPlacement& placement : std::as_const(placements))
        m_calls.append(
            Call{placement.photo, placement.display, overlay, fit, placement.title, useCDN, forceDownload});
    if (m_holding)
        co_await qCoro(&m_released, &WakeSignal::woken);
    QList<std::exception_ptr> failures;
    for (const WallpaperPlacement& placement : std::as_const(placements)) {
        std::exception_ptr failure;
        for (qsizetype i = 0; i < m_failures.size(); ++i) {
            if (m_failures[i].first.isEmpty() || m_failures[i].first == placement.display.name) {
                failure = std::make_exception_ptr(m_failures.takeAt(i).second);
                break;
            }
        }
        failures.append(failure);
    }
    co_return failures;
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
