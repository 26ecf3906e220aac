#include "app/MenuBarContent.h"

#include "model/Account.h"
#include "sheets/PhotoStoryPresenter.h"
#include "state/AppModel.h"
#include "state/Guidance.h"
#include "state/PlaylistEditor.h"
#include "state/SaverLauncher.h"
#include "state/ShortcutRegistry.h"
#include "state/WallpaperRotation.h"
#include "state/WindowPresenter.h"
#include "widgets/SettingsRequest.h"
#include "widgets/ViewTask.h"

#include <QKeySequence>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Only keys that work: the main window's own (settings, quit) and the global hotkeys while they
// are registered. A menu of the tray has no window for other keys to work in.
const QKeySequence settingsKey(Qt::CTRL | Qt::Key_Comma);
const QKeySequence quitKey(Qt::CTRL | Qt::Key_Q);
const QKeySequence nextWallpaperHotkey(Qt::META | Qt::SHIFT | Qt::Key_W);
const QKeySequence startSaverHotkey(Qt::META | Qt::SHIFT | Qt::Key_S);

template <typename Action>
QAction* addItem(QMenu& menu, const QString& text, const QKeySequence& key, QObject* context, Action action)
{
    QAction* item = menu.addAction(text);
    item->setShortcut(key);
    QObject::connect(item, &QAction::triggered, context, action);
    return item;
}

QAction* addTextLine(QMenu& menu, const QString& text)
{
    QAction* line = menu.addAction(text);
    line->setEnabled(false);
    return line;
}

} // namespace

MenuBarContent::MenuBarContent(AppModel& model, Services services, QObject* parent)
    : QObject(parent), m_model(model), m_guidance(services.guidance), m_playlists(services.playlists),
      m_saver(services.saver), m_rotation(services.rotation), m_shortcuts(services.shortcuts),
      m_window(services.window), m_stories(services.stories), m_menu(std::make_unique<QMenu>())
{
    // The rotation and the shortcuts don't announce their changes; reading them as the menu
    // opens is what keeps it current.
    connect(m_menu.get(), &QMenu::aboutToShow, this, &MenuBarContent::rebuild);
    // Queued: a change that an item's own action causes must not delete that item under it.
    connect(&m_model.account(), &Account::userChanged, this, &MenuBarContent::rebuild, Qt::QueuedConnection);
    for (auto signal : {&AppModel::sessionTokenChanged, &AppModel::offlineChanged, &AppModel::phaseChanged})
        connect(&m_model, signal, this, &MenuBarContent::rebuild, Qt::QueuedConnection);
    rebuild();
}

MenuBarContent::~MenuBarContent() = default;

QString MenuBarContent::menuText(QString text)
{
    text.replace(u'&', u"&&"_s);
    for (const QChar breaking : {u'\t', u'\n', u'\r'})
        text.replace(breaking, u' ');
    return text;
}

void MenuBarContent::rebuild()
{
    m_menu->clear();
    if (m_model.account().isSignedIn())
        buildSignedIn();
    else
        buildSignedOut();
}

void MenuBarContent::buildSignedOut()
{
    addItem(*m_menu, tr("Sign In to Lumivale…"), {}, this, [this] { m_window.showMainWindow(); });
    m_menu->addSeparator();
    addItem(*m_menu, tr("Settings…"), settingsKey, this,
            [this] { SettingsRequest::raise(m_guidance, m_window); });
    addItem(*m_menu, tr("Quit Lumivale"), quitKey, this, [this] { emit quitRequested(); });
}

void MenuBarContent::buildSignedIn()
{
    // The photo the items act on is the one showing while the menu was built.
    const std::optional<Medium> showing = m_rotation.nowShowing();
    if (showing)
        addTextLine(*m_menu, menuText(showing->displayTitle()));

    const bool changing = m_rotation.isChanging();
    QAction* next = addItem(*m_menu, changing ? tr("Changing…") : tr("Next Wallpaper"), QKeySequence(), this,
                            [this] { nextWallpaper(); });
    showHotkey(*next, ShortcutRegistry::Shortcut::nextWallpaper, nextWallpaperHotkey);
    next->setEnabled(!changing);

    if (showing) {
        const Medium photo = *showing;
        addItem(*m_menu, tr("Add to Favorites"), {}, this,
                [this, photo] { ViewTask::start(m_model, m_playlists.addFavorite(photo)); });
        addItem(*m_menu, tr("View Photo Story"), {}, this, [this, photo] { m_stories.showStory(photo); });
    }

    QAction* saver = addItem(*m_menu, tr("Start Screen Saver"), QKeySequence(), this,
                             [this] { ViewTask::start(m_model, m_saver.startSaverNow(std::nullopt)); });
    showHotkey(*saver, ShortcutRegistry::Shortcut::startSaver, startSaverHotkey);
    if (m_rotation.failure())
        addTextLine(*m_menu, tr("Wallpaper changes keep failing"));
    if (m_model.isOffline())
        addTextLine(*m_menu, tr("Offline — will retry"));

    m_menu->addSeparator();
    addItem(*m_menu, tr("Browse Photos…"), {}, this, [this] { m_window.showMainWindow(); });
    addItem(*m_menu, tr("Take the Tour"), {}, this, [this] { m_guidance.startTour(false); });
    m_menu->addSeparator();
    addItem(*m_menu, tr("Settings…"), settingsKey, this,
            [this] { SettingsRequest::raise(m_guidance, m_window); });
    addItem(*m_menu, tr("Quit Lumivale"), quitKey, this, [this] { emit quitRequested(); });
}

void MenuBarContent::nextWallpaper()
{
    ViewTask::start(m_model, m_rotation.changeWallpaper(true));
}

void MenuBarContent::showHotkey(QAction& item, ShortcutRegistry::Shortcut shortcut,
                                const QKeySequence& key) const
{
    switch (m_shortcuts.state(shortcut)) {
    case ShortcutRegistry::State::held:
        item.setShortcut(key);
        break;
    case ShortcutRegistry::State::taken:
        // Another client has the keys: they are shown, but as not working here.
        item.setText(item.text() + u'\t' + tr("%1 (inactive)").arg(key.toString(QKeySequence::NativeText)));
        break;
    case ShortcutRegistry::State::off:
    case ShortcutRegistry::State::unavailable:
        break;
    }
}

} // namespace lumi
