#pragma once

#include "state/WindowPresenter.h"

namespace lumi {

/// Lets the model be made before the main window's controller, which needs the model: the model
/// talks to the relay, and the relay passes on to the controller once it exists.
class WindowRelay final : public WindowPresenter
{
public:
    void setTarget(WindowPresenter* target) { m_target = target; }

    void showMainWindow() override
    {
        if (m_target)
            m_target->showMainWindow();
    }
    bool isMainWindowVisible() const override { return m_target && m_target->isMainWindowVisible(); }

private:
    WindowPresenter* m_target = nullptr;
};

} // namespace lumi
