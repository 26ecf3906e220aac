#include "widgets/SettingsRequest.h"

#include "state/Guidance.h"
#include "state/WindowPresenter.h"

namespace lumi {

void SettingsRequest::raise(Guidance& guidance, WindowPresenter& window)
{
    window.showMainWindow();
    guidance.requestSettings(std::nullopt);
}

} // namespace lumi
