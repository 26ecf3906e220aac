#pragma once

#include "services/CrashCapture.h"

namespace lumi {

/// Stands in for crash capture until it is built: nothing is armed.
class StandbyCrashCapture final : public CrashCapture
{
public:
    void install() override {}
};

} // namespace lumi
