#pragma once

#include "state/WindowPresenter.h"

namespace lumi {

/// Stands in for the main window until the shell has one.
class StandbyWindowPresenter final : public WindowPresenter
{
public:
    void showMainWindow() override {}
    bool isMainWindowVisible() const override { return false; }
};

} // namespace lumi
