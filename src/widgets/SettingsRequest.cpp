#include "widgets/SettingsRequest.h"

#include "state/AppModel.h"
#include "state/Guidance.h"
#include "state/WindowPresenter.h"

namespace lumi {

void SettingsRequest::raise(AppModel& model, Guidance& guidance, WindowPresenter& window)
{
    model.setSettingsSection(std::nullopt);
    window.showMainWindow();
    guidance.setSettingsRequested(true);
}

} // namespace lumi
