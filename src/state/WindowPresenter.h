#pragma once

namespace lumi {

/// The shell's main window, which the model brings up when the user has to act.
class WindowPresenter
{
public:
    virtual ~WindowPresenter() = default;

    /// Builds the main window once, shows it in front and counts the showing in the model.
    virtual void showMainWindow() = 0;
    /// The main window exists, is shown and is not minimized.
    virtual bool isMainWindowVisible() const = 0;
};

} // namespace lumi
