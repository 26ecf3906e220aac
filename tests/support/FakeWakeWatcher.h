#pragma once

#include "platform/WakeWatcher.h"

namespace lumi::test {

/// Wakes from sleep when the test says so.
class FakeWakeWatcher final : public WakeWatcher
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FakeWakeWatcher)

public:
    FakeWakeWatcher() = default;

    void check() override { ++checks; }
    void wake() { emit woke(); }

    int checks = 0;
};

} // namespace lumi::test
