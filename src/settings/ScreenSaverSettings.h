#pragma once

#include "settings/AccountPane.h"

class QCheckBox;

namespace lumi {

class SaverLauncher;
class SettingsSync;

/// The screen saver settings of the account (idle delay, effect, time per photo, shuffle, fill,
/// titles) and a button that starts the saver at once.
class ScreenSaverSettings final : public AccountPane
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScreenSaverSettings)

public:
    ScreenSaverSettings(ErrorSink& errors, const Account& account, SettingsSync& settings,
                        SaverLauncher& saver, QWidget* parent = nullptr);
    ~ScreenSaverSettings() override;

private:
    void showUser(const User& user) override;

    ChoicePicker* m_idle = nullptr;
    ChoicePicker* m_effect = nullptr;
    ChoicePicker* m_pause = nullptr;
    QCheckBox* m_shuffle = nullptr;
    QCheckBox* m_fill = nullptr;
    QCheckBox* m_titles = nullptr;
};

} // namespace lumi
