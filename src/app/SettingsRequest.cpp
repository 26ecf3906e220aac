#include "app/SettingsRequest.h"

#include "state/AppModel.h"
#include "state/WindowPresenter.h"

namespace lumi {

void SettingsRequest::raise(AppModel& model, WindowPresenter& window)
{
    model.setSettingsSection(std::nullopt);
    window.showMainWindow();
    model.setSettingsRequested(true);
}

} // namespace lumi
