#pragma once

namespace lumi {

class Guidance;
class WindowPresenter;

/// "Settings…" wherever it is offered: the main window comes forward and shows the settings
/// sheet on no particular section.
class SettingsRequest final
{
public:
    SettingsRequest() = delete;

    static void raise(Guidance& guidance, WindowPresenter& window);
};

} // namespace lumi
