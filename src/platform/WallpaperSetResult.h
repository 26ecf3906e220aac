#pragma once

#include <QString>

#include <utility>

namespace lumi {

/// The outcome of handing a picture to the desktop: success, or the reason it failed.
class WallpaperSetResult final
{
public:
    /// A failure until told otherwise, so an unset result never reads as success.
    WallpaperSetResult() : m_error(QStringLiteral("no result")) {}

    static WallpaperSetResult success() { return WallpaperSetResult(QString()); }
    /// An empty reason still counts as a failure.
    static WallpaperSetResult failure(QString reason)
    {
        return WallpaperSetResult(reason.isEmpty() ? QStringLiteral("unknown error") : std::move(reason));
    }
    /// A failure that trying again can't change: this desktop offers no way of setting wallpapers.
    static WallpaperSetResult unsupported(QString reason)
    {
        WallpaperSetResult result = failure(std::move(reason));
        result.m_permanent = true;
        return result;
    }

    bool ok() const { return m_error.isEmpty(); }
    /// Empty on success.
    const QString& error() const { return m_error; }
    bool permanent() const { return m_permanent; }

private:
    explicit WallpaperSetResult(QString error) : m_error(std::move(error)) {}

    QString m_error;
    bool m_permanent = false;
};

} // namespace lumi
