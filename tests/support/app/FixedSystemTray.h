#pragma once

#include "platform/SystemTray.h"

namespace lumi::test {

/// A tray host that is there or not, as the test says.
class FixedSystemTray final : public SystemTray
{
public:
    explicit FixedSystemTray(bool available) : m_available(available) {}

    bool isAvailable() const override { return m_available; }

private:
    bool m_available;
};

} // namespace lumi::test
