#include "player/GlobalShortcuts.h"

#include "model/AppLog.h"
#include "platform/Hotkeys.h"
#include "player/PlayerTask.h"
#include "state/WallpaperRotation.h"

#include <array>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

struct Key
{
    ShortcutRegistry::Shortcut shortcut;
    Qt::Key letter;
};

constexpr std::array<Key, 2> keys{{
    {ShortcutRegistry::Shortcut::nextWallpaper, Qt::Key_W},
    {ShortcutRegistry::Shortcut::startSaver, Qt::Key_S},
}};

constexpr Qt::KeyboardModifiers modifiers = Qt::MetaModifier | Qt::ShiftModifier;

} // namespace

GlobalShortcuts::GlobalShortcuts(Hotkeys& hotkeys, WallpaperRotation& rotation,
                                 std::function<QCoro::Task<void>()> startSaver, QObject* parent)
    : QObject(parent), m_hotkeys(hotkeys), m_rotation(rotation), m_startSaver(std::move(startSaver))
{
    // Queued: the press is answered at once, the action runs on the next turn of the loop.
    connect(&m_hotkeys, &Hotkeys::pressed, this, &GlobalShortcuts::fire, Qt::QueuedConnection);
}

GlobalShortcuts::~GlobalShortcuts()
{
    unregisterAll();
}

void GlobalShortcuts::registerShortcuts()
{
    m_wanted = true;
    const AppLog log(u"hotkeys"_s);
    if (!m_hotkeys.isSupported()) {
        if (!m_unsupportedLogged)
            log.info(u"this desktop lets no application hold global shortcuts (Wayland); none registered"_s);
        m_unsupportedLogged = true;
        return;
    }
    for (const Key& key : keys) {
        const int id = int(key.shortcut);
        if (m_registered.contains(id) && m_hotkeys.isHeld(id))
            continue;
        m_hotkeys.release(id);
        m_registered.remove(id);
        const int status = m_hotkeys.grab(id, key.letter, modifiers);
        if (status == 0)
            m_registered.insert(id);
        else
            log.info(
                u"shortcut %1 not registered (status %2); another app may hold it"_s.arg(id).arg(status));
    }
}

void GlobalShortcuts::unregisterAll()
{
    m_wanted = false;
    for (const int id : std::as_const(m_registered))
        m_hotkeys.release(id);
    m_registered.clear();
}

bool GlobalShortcuts::isRegistered(Shortcut shortcut) const
{
    return m_registered.contains(int(shortcut)) && m_hotkeys.isHeld(int(shortcut));
}

ShortcutRegistry::State GlobalShortcuts::state(Shortcut shortcut) const
{
    if (!m_hotkeys.isSupported())
        return State::unavailable;
    if (!m_wanted)
        return State::off;
    return isRegistered(shortcut) ? State::held : State::taken;
}

void GlobalShortcuts::fire(int id)
{
    if (!isRegistered(Shortcut(id)))
        return;
    if (id == int(Shortcut::nextWallpaper))
        PlayerTask::start(nextWallpaper());
    else if (id == int(Shortcut::startSaver))
        PlayerTask::start(m_startSaver());
}

QCoro::Task<void> GlobalShortcuts::nextWallpaper()
{
    co_await m_rotation.changeWallpaper(true);
}

} // namespace lumi
