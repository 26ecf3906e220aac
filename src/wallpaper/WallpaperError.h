#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <exception>

namespace lumi {

/// Why a wallpaper could not be put on a display. Each kind has its user-facing text; `system`
/// carries the text of the failure the desktop or the file system gave.
class WallpaperError final : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(WallpaperError)

public:
    enum class Kind { download, noImage, tooSmall, emptyPool, unreadable, system };

    /// A variant download answered with a status other than 200; 0 when no HTTP answer came.
    static WallpaperError download(int status);
    static WallpaperError noImage();
    static WallpaperError tooSmall();
    static WallpaperError emptyPool();
    static WallpaperError unreadable();
    static WallpaperError system(QString text);

    Kind kind() const { return m_kind; }
    /// The HTTP status of a `download` failure.
    int status() const { return m_status; }
    /// The text the user sees.
    QString message() const;
    const char* what() const noexcept override { return m_what.constData(); }

    bool operator==(const WallpaperError& other) const
    {
        return m_kind == other.m_kind && m_status == other.m_status && m_text == other.m_text;
    }

private:
    WallpaperError(Kind kind, int status, QString text);

    Kind m_kind;
    int m_status = 0;
    QString m_text;
    QByteArray m_what;
};

} // namespace lumi
