#include "support/player/PlayerRig.h"

#include <QCoreApplication>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace lumi::test {

namespace {

PlaySettings withPause(double pauseSeconds)
{
    PlaySettings settings;
    settings.pauseSeconds = pauseSeconds;
    return settings;
}

} // namespace

PlayerRig::PlayerRig(PlayMode mode, const QStringList& colours, double pauseSeconds)
    : PlayerRig(mode, colours, withPause(pauseSeconds))
{
}

PlayerRig::PlayerRig(PlayMode mode, const QStringList& colours, PlaySettings settings)
    : defaults(home.filePath(u"defaults.json"_s))
{
    QRandomGenerator random(1);
    model = std::make_unique<PlayerModel>(mode, settings, PhotoQueue(colourPhotos(colours), 0, false, random),
                                          true, photos, clock, defaults);
}

PlayerRig::~PlayerRig()
{
    model.reset();
    // Cancelled sleeps end on the next event-loop turn, while the clock still exists.
    QCoreApplication::processEvents();
}

void PlayerRig::advance(std::chrono::milliseconds by)
{
    clock.advance(by);
    QCoreApplication::processEvents();
}

QString PlayerRig::shown() const
{
    return model->current() ? model->current()->medium.uuid : u"-"_s;
}

} // namespace lumi::test
