#pragma once

#include "settings/AccountPane.h"

class QCheckBox;

namespace lumi {

class SettingsSync;

/// The wallpaper settings of the account: how often it changes, shuffle, fit, the photo's title
/// and the same photo on every display.
class WallpaperSettings final : public AccountPane
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WallpaperSettings)

public:
    WallpaperSettings(AppModel& model, SettingsSync& settings, QWidget* parent = nullptr);
    ~WallpaperSettings() override;

private:
    void showUser(const User& user) override;

    ChoicePicker* m_interval = nullptr;
    QCheckBox* m_shuffle = nullptr;
    ChoicePicker* m_fit = nullptr;
    QCheckBox* m_title = nullptr;
    QCheckBox* m_sameOnEvery = nullptr;
};

} // namespace lumi
