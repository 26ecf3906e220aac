#pragma once

#include "settings/AccountPane.h"

class QCheckBox;
class QLabel;

namespace lumi {

class RotationEngine;
class SettingsSync;

/// The wallpaper settings of the account: how often it changes, shuffle, fit, the photo's title
/// and the same photo on every display. While the rotation's changes keep failing, its note says
/// why instead of promising a rotating wallpaper.
class WallpaperSettings final : public AccountPane
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WallpaperSettings)

public:
    WallpaperSettings(ErrorSink& errors, const Account& account, SettingsSync& settings,
                      const RotationEngine& rotation, QWidget* parent = nullptr);
    ~WallpaperSettings() override;

private:
    void showUser(const User& user) override;
    void showRotation();

    ChoicePicker* m_interval = nullptr;
    QCheckBox* m_shuffle = nullptr;
    ChoicePicker* m_fit = nullptr;
    QCheckBox* m_title = nullptr;
    QCheckBox* m_sameOnEvery = nullptr;
    const RotationEngine& m_rotation;
    QLabel* m_note = nullptr;
};

} // namespace lumi
