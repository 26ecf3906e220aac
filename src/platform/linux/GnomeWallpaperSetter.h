#pragma once

#include "platform/WallpaperSetter.h"

#include <QHash>

#include <optional>

namespace lumi {

class Screens;

/// GNOME and the desktops built on its settings (Ubuntu, Unity, Budgie, Pantheon): writes the
/// picture into org.gnome.desktop.background with the `gsettings` tool, for the light and the
/// dark style alike. GNOME takes one picture for all monitors, so with several displays the
/// displays' latest pictures are joined into one spanned picture (black where a display has had
/// none yet). The displays' pictures and the spanned ones in use outlive a restart in a state
/// file, so setting one display never blanks the others. Calls are meant to run one after
/// another, as the apply does.
class GnomeWallpaperSetter final : public WallpaperSetter
{
public:
    /// screens tells where the other displays lie when a spanned picture is needed; it must outlive
    /// this setter. stateFile keeps what the setter needs across restarts.
    GnomeWallpaperSetter(const Screens& screens, QString stateFile);

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    QStringList filesInUse() const override;
    QString name() const override;

private:
    /// Learns once whether the schema exists and has the dark-style key; the reason on failure.
    QCoro::Task<QString> checkSchema();
    void loadState();
    void saveState() const;
    /// Removes the spanned pictures of the folder that are neither shown nor the one before.
    void pruneSpanned(const QString& folder) const;

    const Screens& m_screens;
    QString m_stateFile;
    /// The last picture set per display name.
    QHash<QString, QString> m_pictures;
    QString m_spanned;
    QString m_previousSpanned;
    QString m_options;
    std::optional<bool> m_hasDarkKey;
    bool m_verified = false;
};

} // namespace lumi
