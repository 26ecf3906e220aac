#pragma once

#include "state/WallpaperRotation.h"

namespace lumi {

/// Stands in for the wallpaper rotation until it is built: shows nothing, changes nothing.
class StandbyRotation final : public WallpaperRotation
{
public:
    void start() override {}
    void stop() override {}
    void reset() override {}
    void redrawNow() override {}
    QCoro::Task<bool> changeWallpaper(bool) override { co_return false; }
    QCoro::Task<bool> showPhoto(Medium, std::optional<QList<DisplayInfo>>) override { co_return false; }
    bool isChanging() const override { return false; }
    std::optional<Medium> nowShowing() const override { return std::nullopt; }
    std::optional<QDateTime> retryAt() const override { return m_retryAt; }
    void setRetryAt(std::optional<QDateTime> at) override { m_retryAt = std::move(at); }
    QString poolKey() const override { return m_poolKey; }
    void setPoolKey(QString key) override { m_poolKey = std::move(key); }

private:
    std::optional<QDateTime> m_retryAt;
    QString m_poolKey;
};

} // namespace lumi
