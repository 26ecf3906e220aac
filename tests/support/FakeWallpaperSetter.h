#pragma once

#include "platform/WallpaperSetter.h"

#include <QHash>
#include <QList>

namespace lumi::test {

/// Records every request and answers with the results the test queued (success once the queue is
/// empty).
class FakeWallpaperSetter final : public WallpaperSetter
{
public:
    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    /// Records the change, then sets each picture.
    QCoro::Task<QList<WallpaperSetResult>> setWallpapers(QList<WallpaperRequest> requests) override;
    bool wantsWholeChanges() const override { return wholeChanges; }
    /// The last picture set successfully per display.
    QStringList filesInUse() const override { return m_shown.values(); }
    QString name() const override;

    /// The next calls fail with reason, one per count.
    void failNext(int count, const QString& reason);
    /// The next call fails as on a desktop that offers no way of setting wallpapers.
    void refuseForGood(const QString& reason) { m_results.append(WallpaperSetResult::unsupported(reason)); }
    const QList<WallpaperRequest>& requests() const { return m_requests; }
    /// How many pictures each change handed over, in order.
    const QList<qsizetype>& changes() const { return m_changes; }

    /// Whether it asks for every change whole, as a desktop with one picture over all displays.
    bool wholeChanges = false;
    /// The picture shown on a display, by display name; empty when none was set.
    QString shownOn(const QString& displayName) const { return m_shown.value(displayName); }

private:
    QList<WallpaperRequest> m_requests;
    QList<qsizetype> m_changes;
    QList<WallpaperSetResult> m_results;
    QHash<QString, QString> m_shown;
};

} // namespace lumi::test
