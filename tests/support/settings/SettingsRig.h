#pragma once

#include "library/DataDirectory.h"
#include "library/PlaylistSync.h"
#include "player/PhotoLoader.h"
#include "settings/SettingsServices.h"
#include "support/FakeWakeWatcher.h"
#include "support/FakeWallpaperSetter.h"
#include "support/RecordingProcessControl.h"
#include "support/services/RecordingSoftwareUpdates.h"
#include "support/state/ModelHarness.h"
#include "wallpaper/LibrarySyncedPhotos.h"
#include "wallpaper/RotationEngine.h"
#include "wallpaper/WallpaperService.h"

namespace lumi::test {

/// What the settings window uses beyond the model, made over a model harness: the real playlist
/// sync, photo directory and wallpaper service (with a fake setter), and recording stand-ins for
/// the relaunch and the update check. The sync is made when asked for, so a test can prepare first.
class SettingsRig final
{
public:
    explicit SettingsRig(ModelHarness& harness);
    ~SettingsRig();
    SettingsRig(const SettingsRig&) = delete;
    SettingsRig& operator=(const SettingsRig&) = delete;

    PlaylistSync& sync();
    /// Every service; tests is none unless given.
    SettingsServices services(SupportTests* tests = nullptr);

    ModelHarness& harness;
    RecordingProcessControl processes;
    RecordingSoftwareUpdates updates{harness.journal};
    DataDirectory dataDirectory{harness.defaults, harness.pickers, harness.trash, processes};
    FakeWallpaperSetter setter;
    FakeWakeWatcher wake;

private:
    std::unique_ptr<PlaylistSync> m_sync;
    std::unique_ptr<LibrarySyncedPhotos> m_synced;
    WallpaperService* m_wallpapers = nullptr;
    std::unique_ptr<RotationEngine> m_engine;
    std::unique_ptr<PhotoLoader> m_photos;
};

} // namespace lumi::test
