#pragma once

#include "state/WallpaperRotation.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the wallpaper rotation, which is not built yet: records every call; showPhoto
/// answers showSucceeds; it is busy while a test sets changing.
class RecordingRotation final : public WallpaperRotation
{
public:
    explicit RecordingRotation(CallJournal& journal) : m_journal(journal) {}

    void start() override { m_journal.record(QStringLiteral("rotation.start")); }
    void stop() override { m_journal.record(QStringLiteral("rotation.stop")); }
    void reset() override { m_journal.record(QStringLiteral("rotation.reset")); }
    void redrawNow() override { m_journal.record(QStringLiteral("rotation.redraw")); }
    QCoro::Task<bool> changeWallpaper(bool userInitiated) override
    {
        if (userInitiated)
            m_retryAt.reset();
        m_journal.record(userInitiated ? QStringLiteral("rotation.change(user)")
                                       : QStringLiteral("rotation.change"));
        co_return false;
    }
    QCoro::Task<bool> showPhoto(Medium photo, std::optional<QList<DisplayInfo>> displays) override
    {
        QStringList names;
        for (const DisplayInfo& display : displays.value_or(QList<DisplayInfo>()))
            names.append(display.name);
        m_journal.record(QStringLiteral("rotation.showPhoto(%1,%2)")
                             .arg(photo.uuid, displays ? names.join(u'+') : QStringLiteral("all")));
        co_return showSucceeds;
    }
    bool isChanging() const override { return changing; }
    std::optional<Medium> nowShowing() const override { return showing; }
    std::optional<QString> failure() const override { return failing; }
    std::optional<QDateTime> retryAt() const override { return m_retryAt; }
    void setRetryAt(std::optional<QDateTime> at) override
    {
        m_journal.record(at ? QStringLiteral("rotation.retryAt") : QStringLiteral("rotation.retryAt(none)"));
        m_retryAt = std::move(at);
    }
    QString poolKey() const override { return m_poolKey; }
    void setPoolKey(QString key) override { m_poolKey = std::move(key); }

    std::optional<Medium> showing;
    bool showSucceeds = true;
    bool changing = false;
    std::optional<QString> failing;

private:
    CallJournal& m_journal;
    std::optional<QDateTime> m_retryAt;
    QString m_poolKey = QStringLiteral("built");
};

} // namespace lumi::test
