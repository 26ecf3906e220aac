#include "support/settings/SettingsRig.h"

namespace lumi::test {

SettingsRig::SettingsRig(ModelHarness& harness) : harness(harness) {}

SettingsRig::~SettingsRig() = default;

PlaylistSync& SettingsRig::sync()
{
    if (!m_sync) {
        m_sync = std::make_unique<PlaylistSync>(PlaylistSync::Services{
            .account = harness.model().account(),
            .defaults = harness.defaults,
            .api = harness.api,
            .screens = harness.screens,
            .clock = harness.clock,
            .reporter = harness.reporter,
        });
        m_synced = std::make_unique<LibrarySyncedPhotos>(m_sync->layout().base);
        m_wallpapers = std::make_unique<WallpaperService>(harness.api.network(), setter, harness.clock,
                                                          harness.reporter, *m_synced);
    }
    return *m_sync;
}

SettingsServices SettingsRig::services(SupportTests* tests)
{
    PlaylistSync& playlists = sync();
    return SettingsServices{
        .links = harness.links,
        .clock = harness.clock,
        .events = harness.events,
        .rotation = harness.rotation,
        .sync = playlists,
        .dataDirectory = dataDirectory,
        .wallpapers = *m_wallpapers,
        .updates = updates,
        .tests = tests,
    };
}

} // namespace lumi::test
