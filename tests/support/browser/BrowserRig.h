#pragma once

#include "browser/BrowserServices.h"
#include "support/FakeWakeWatcher.h"
#include "support/browser/RecordingRevealer.h"
#include "support/state/ModelHarness.h"
#include "support/wallpaper/FakeRotationLibrary.h"
#include "support/wallpaper/RecordingApplier.h"
#include "wallpaper/RotationEngine.h"

#include <memory>

namespace lumi::test {

/// What a browser works with besides the model, around a model harness: its settings, events,
/// sync stand-in, clock and links, a rotation engine on the harness's account whose wallpapers
/// are only recorded, and a recording file manager.
class BrowserRig final
{
public:
    explicit BrowserRig(ModelHarness& harness)
        : m_harness(harness),
          rotation(RotationEngine::Services{harness.model().account(), harness.clock, harness.defaults,
                                            harness.api, harness.screens, wake, library, harness.events},
                   std::make_unique<RecordingApplier>())
    {
    }

    BrowserServices services()
    {
        return {m_harness.playlists(),
                m_harness.catalog(),
                m_harness.guidance(),
                rotation,
                m_harness.screens,
                m_harness.defaults,
                m_harness.events,
                m_harness.sync,
                m_harness.clock,
                m_harness.links,
                revealer,
                m_harness.saver()};
    }

private:
    ModelHarness& m_harness;

public:
    FakeWakeWatcher wake;
    FakeRotationLibrary library;
    RotationEngine rotation;
    RecordingRevealer revealer;
};

} // namespace lumi::test
