#pragma once

namespace lumi {

/// The sections of the settings window, which the model can ask it to open on.
enum class SettingsSection { application, wallpaper, calendar, screenSaver, support };

} // namespace lumi
