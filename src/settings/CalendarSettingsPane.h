#pragma once

#include "settings/AccountPane.h"

class QCheckBox;

namespace lumi {

class SettingsSync;

/// The calendar drawn on the wallpaper: on or off, then its seven settings, each stored in the
/// account under its own key.
class CalendarSettingsPane final : public AccountPane
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarSettingsPane)

public:
    CalendarSettingsPane(ErrorSink& errors, const Account& account, SettingsSync& settings,
                         QWidget* parent = nullptr);
    ~CalendarSettingsPane() override;

private:
    void showUser(const User& user) override;

    QCheckBox* m_shown = nullptr;
    QWidget* m_grid = nullptr;
    ChoicePicker* m_theme = nullptr;
    ChoicePicker* m_size = nullptr;
    ChoicePicker* m_position = nullptr;
    ChoicePicker* m_opacity = nullptr;
    ChoicePicker* m_start = nullptr;
    ChoicePicker* m_past = nullptr;
    ChoicePicker* m_future = nullptr;
};

} // namespace lumi
