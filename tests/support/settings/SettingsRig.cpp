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
        m_synced = std::make_unique<LibrarySyncedPhotos>(m_sync->layout().base, *m_sync, harness.defaults);
        auto wallpapers = std::make_unique<WallpaperService>(harness.api.network(), setter, harness.clock,
                                                             harness.reporter, *m_synced);
        m_wallpapers = wallpapers.get();
        m_engine = std::make_unique<RotationEngine>(
            RotationEngine::Services{harness.model().account(), harness.clock, harness.defaults, harness.api,
                                     harness.screens, wake, *m_sync, harness.events},
            std::move(wallpapers));
        m_photos = std::make_unique<PhotoLoader>(*m_sync, harness.api.network(), harness.screens);
    }
    return *m_sync;
}

SettingsServices SettingsRig::services(SupportTests* tests)
{
    PlaylistSync& playlists = sync();
    return SettingsServices{
        .errors = harness.model(),
        .account = harness.model().account(),
        .settingsSync = harness.settings(),
        .links = harness.links,
        .clock = harness.clock,
        .events = harness.events,
        .rotation = harness.rotation,
        .engine = *m_engine,
        .photos = *m_photos,
        .sync = playlists,
        .playlists = harness.playlists(),
        .dataDirectory = dataDirectory,
        .wallpapers = *m_wallpapers,
        .updates = updates,
        .saver = harness.saver(),
        .shortcuts = harness.shortcuts,
        .tests = tests,
    };
}

} // namespace lumi::test
