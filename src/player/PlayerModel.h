#pragma once

#include "model/CancelToken.h"
#include "model/PlayMode.h"
#include "model/PlaySettings.h"
#include "player/PhotoQueue.h"
#include "player/ShownPhoto.h"
#include "player/Transition.h"

#include <QCoroTask>
#include <QObject>

#include <optional>

namespace lumi {

class Clock;
class Defaults;
class PhotoImageSource;

/// The state of one player window: what it plays, the photo on screen, whether play is paused,
/// and the play clock that moves to the next photo after every pause. Observers hear of real
/// changes only; each new photo comes with the transition that shows it.
class PlayerModel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayerModel)

public:
    /// `large` asks the source for the big variants (a screen wider than 1920 pixels). Nothing
    /// plays until start().
    PlayerModel(PlayMode mode, PlaySettings settings, PhotoQueue queue, bool large, PhotoImageSource& photos,
                Clock& clock, Defaults& defaults, QObject* parent = nullptr);
    ~PlayerModel() override;

    PlayMode mode() const { return m_mode; }
    /// Signals a different mode only, but always restarts the clock (showing a photo at once when
    /// none is on screen); the gallery's modes are remembered in "gallery-info-show".
    void setMode(PlayMode mode);

    const std::optional<ShownPhoto>& current() const { return m_current; }
    bool isPaused() const { return m_paused; }
    /// While paused the clock keeps waking but changes nothing.
    void setPaused(bool paused);

    const PlaySettings& settings() const { return m_settings; }
    const PhotoQueue& queue() const { return m_queue; }
    Clock& clock() const { return m_clock; }

    /// The next photo that loads, trying up to five in a row; none when all five fail or there
    /// are no photos. Leaves the screen alone: the self-paced effects take their photos here.
    QCoro::Task<std::optional<ShownPhoto>> next();
    /// (Re)starts the play clock; with `immediate` a new photo shows at once. The four-up and
    /// faller effects pace themselves, so their modes run no clock.
    void start(bool immediate);
    /// Stops the play clock.
    void stop();
    /// Shows the next or previous photo at once (one photo: a failed load is not skipped) and
    /// restarts the clock, so the next change comes a full pause later. Paused play stays paused.
    QCoro::Task<void> step(bool forward);

signals:
    void modeChanged(lumi::PlayMode mode);
    /// A new photo (or none) is on screen; the transition says how it replaces the one before.
    void currentChanged(lumi::Transition transition);
    void pausedChanged(bool paused);

private:
    QCoro::Task<void> runClock(bool immediate, CancelToken cancel);
    void show(ShownPhoto photo);
    static bool pacesItself(const PlayMode& mode);

    PlayMode m_mode;
    PlaySettings m_settings;
    PhotoQueue m_queue;
    bool m_large;
    PhotoImageSource& m_photos;
    Clock& m_clock;
    Defaults& m_defaults;
    std::optional<ShownPhoto> m_current;
    bool m_paused = false;
    std::optional<CancelToken> m_clockRun;
};

} // namespace lumi
