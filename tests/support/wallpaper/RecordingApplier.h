#pragma once

#include "model/WakeSignal.h"
#include "wallpaper/WallpaperApplier.h"
#include "wallpaper/WallpaperError.h"

#include <QList>
#include <QStringList>

namespace lumi::test {

/// Stands in for the wallpaper service: records every photo it is asked to put on a display (one
/// call per display) and fails or waits when the test says so.
class RecordingApplier final : public WallpaperApplier
{
public:
    struct Call
    {
        Medium photo;
        DisplayInfo display;
        std::optional<CalendarOverlay> overlay;
        WallpaperFit fit = WallpaperFit::fill;
        std::optional<QString> title;
        bool useCDN = true;
        bool forceDownload = false;
    };

    QCoro::Task<QList<std::exception_ptr>> applyWallpapers(QList<WallpaperPlacement> placements,
                                                           std::optional<CalendarOverlay> overlay,
                                                           WallpaperFit fit, bool useCDN,
                                                           bool forceDownload) override;

    /// The next count calls (on that display only, when one is named) fail with the error.
    void failNext(int count,
                  const WallpaperError& error = WallpaperError::system(QStringLiteral("set failed")),
                  const QString& displayName = {});
    /// Calls from now on wait until release().
    void hold() { m_holding = true; }
    void release();

    const QList<Call>& calls() const { return m_calls; }
    void clear() { m_calls.clear(); }
    /// The uuids of the photos of the calls, in order.
    QStringList photoIds() const;

private:
    QList<Call> m_calls;
    QList<std::pair<QString, WallpaperError>> m_failures;
    bool m_holding = false;
    WakeSignal m_released;
};

} // namespace lumi::test
