#pragma once

#include "model/CancelToken.h"
#include "platform/WallpaperSetter.h"

#include <QHash>

#include <optional>

namespace lumi {

class Screens;

/// GNOME and the desktops built on its settings (Ubuntu, Unity, Budgie, Pantheon): writes the
/// picture into org.gnome.desktop.background with the `gsettings` tool, for the light and the
/// dark style alike. GNOME takes one picture for all monitors, so with several displays each
/// change joins its pictures and the other displays' latest ones into one spanned picture (black
/// where a display has had none yet), written whole before the one write of the settings. The
/// displays' pictures and the spanned ones in use outlive a restart in a state file, so setting
/// one display never blanks the others. Changes run one after another, in the order they come:
/// each builds on what the one before stored.
class GnomeWallpaperSetter final : public WallpaperSetter
{
public:
    /// screens tells where the other displays lie when a spanned picture is needed; it must outlive
    /// this setter. stateFile keeps what the setter needs across restarts.
    GnomeWallpaperSetter(const Screens& screens, QString stateFile);

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    QCoro::Task<QList<WallpaperSetResult>> setWallpapers(QList<WallpaperRequest> requests) override;
    bool wantsWholeChanges() const override { return true; }
    QStringList filesInUse() const override;
    QString name() const override;

private:
    /// Holds the turn of one change from its construction to its destruction.
    class Turn;

    /// Sets the pictures of one change while it holds the turn; the reason on failure.
    QCoro::Task<QString> apply(QList<WallpaperRequest> requests);
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
    /// Fired when the change that holds the turn ends; none while no change runs.
    std::optional<CancelToken> m_turn;
};

} // namespace lumi
