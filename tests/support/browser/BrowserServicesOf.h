#pragma once

#include "browser/SidebarServices.h"
#include "browser/core/BrowserState.h"
#include "support/state/ModelHarness.h"

namespace lumi::test {

/// A browser state's services from the model harness and its recording neighbours.
inline BrowserState::Services browserStateServices(ModelHarness& harness)
{
    return BrowserState::Services{
        .model = harness.model(),
        .catalog = harness.catalog(),
        .guidance = harness.guidance(),
        .saver = harness.saver(),
        .defaults = harness.defaults,
        .events = harness.events,
        .clock = harness.clock,
        .window = harness.window,
    };
}

/// The sidebar's services from the model harness, with a file manager of the test's.
inline SidebarServices sidebarServices(ModelHarness& harness, FileRevealer& revealer)
{
    return SidebarServices{
        .errors = harness.model(),
        .playlists = harness.playlists(),
        .guidance = harness.guidance(),
        .sync = harness.sync,
        .revealer = revealer,
        .defaults = harness.defaults,
    };
}

} // namespace lumi::test
