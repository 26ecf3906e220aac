#pragma once

#include "model/Medium.h"
#include "model/PlayMode.h"
#include "model/PlaySettings.h"
#include "model/SaverEffect.h"

#include <QList>

#include <optional>

namespace lumi {

/// The screen saver and gallery player, as far as the session needs it.
class SaverPlayer
{
public:
    virtual ~SaverPlayer() = default;

    /// True while a screen saver or the gallery is on screen.
    virtual bool isShowing() const = 0;
    /// Opens the saver on every screen, playing the photos with the effect (none: each screen
    /// draws one at random). Does nothing without photos or while something is showing.
    virtual void startSaver(QList<Medium> media, std::optional<SaverEffect> effect,
                            PlaySettings settings) = 0;
    /// Stops whatever plays and opens the gallery window at start (already within the list) in
    /// the given mode. Does nothing without photos.
    virtual void showGallery(QList<Medium> media, int start, PlayMode mode, PlaySettings settings) = 0;
    /// Ends whatever plays; nothing visible happens when nothing plays.
    virtual void stop() = 0;
};

} // namespace lumi
