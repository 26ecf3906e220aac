#include "player/PlayerModel.h"

#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "player/PhotoImageSource.h"
#include "player/PlayerTask.h"

#include <QPointer>

using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr int loadTries = 5;

} // namespace

PlayerModel::PlayerModel(PlayMode mode, PlaySettings settings, PhotoQueue queue, bool large,
                         PhotoImageSource& photos, Clock& clock, Defaults& defaults, QObject* parent)
    : QObject(parent), m_mode(mode), m_settings(settings), m_queue(std::move(queue)), m_large(large),
      m_photos(photos), m_clock(clock), m_defaults(defaults)
{
}

PlayerModel::~PlayerModel()
{
    stop();
}

void PlayerModel::setMode(PlayMode mode)
{
    if (mode != m_mode) {
        m_mode = mode;
        emit modeChanged(mode);
    }
    if (mode.kind() != PlayMode::Kind::saver)
        m_defaults.set(keys::galleryInfoShow, mode.kind() == PlayMode::Kind::infoshow);
    start(!m_current);
}

void PlayerModel::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    emit pausedChanged(paused);
}

QCoro::Task<std::optional<ShownPhoto>> PlayerModel::next()
{
    const QPointer<PlayerModel> self(this);
    for (int attempt = 0; attempt < loadTries && !m_queue.isEmpty(); ++attempt) {
        const Medium medium = *m_queue.next();
        const std::optional<QImage> image = co_await m_photos.image(medium, m_large);
        if (!self)
            co_return std::nullopt;
        if (image)
            co_return ShownPhoto{QUuid::createUuid(), medium, *image};
    }
    co_return std::nullopt;
}

void PlayerModel::start(bool immediate)
{
    stop();
    if (pacesItself(m_mode))
        return;
    m_clockRun = CancelToken();
    PlayerTask::start(runClock(immediate, *m_clockRun));
}

void PlayerModel::stop()
{
    if (m_clockRun) {
        m_clockRun->cancel();
        m_clockRun.reset();
    }
}

QCoro::Task<void> PlayerModel::step(bool forward)
{
    const QPointer<PlayerModel> self(this);
    const std::optional<Medium> medium = forward ? m_queue.next() : m_queue.previous();
    if (medium) {
        const std::optional<QImage> image = co_await m_photos.image(*medium, m_large);
        if (!self)
            co_return;
        if (image)
            show(ShownPhoto{QUuid::createUuid(), *medium, *image});
    }
    start(false);
}

QCoro::Task<void> PlayerModel::runClock(bool immediate, CancelToken cancel)
{
    const QPointer<PlayerModel> self(this);
    Clock& clock = m_clock;
    bool load = immediate;
    while (!cancel.isCancelled()) {
        if (load) {
            const std::optional<ShownPhoto> photo = co_await next();
            if (!self || cancel.isCancelled())
                co_return;
            if (photo)
                show(*photo);
        }
        const std::chrono::milliseconds pause(qint64(m_settings.pauseSeconds * 1000));
        co_await clock.sleep(pause, cancel);
        if (!self || cancel.isCancelled())
            co_return;
        load = !m_paused;
    }
}

void PlayerModel::show(ShownPhoto photo)
{
    if (photo == m_current)
        return;
    m_current = std::move(photo);
    emit currentChanged(Transition::forMode(m_mode, m_clock.monotonic()));
}

bool PlayerModel::pacesItself(const PlayMode& mode)
{
    return mode.effect() == SaverEffect::faller || mode.effect() == SaverEffect::fourup;
}

} // namespace lumi
