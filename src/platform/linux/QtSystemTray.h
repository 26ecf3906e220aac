#pragma once

#include "platform/SystemTray.h"

namespace lumi {

/// Asks Qt whether a StatusNotifierItem watcher or an XEmbed tray owner is present.
class QtSystemTray final : public SystemTray
{
public:
    bool isAvailable() const override;
};

} // namespace lumi
