#include "browser/BrowserToolbar.h"

#include "browser/ColumnsSelector.h"
#include "browser/core/BrowserState.h"
#include "state/SaverLauncher.h"
#include "wallpaper/RotationEngine.h"
#include "widgets/SettingsRequest.h"
#include "widgets/SymbolIcon.h"
#include "widgets/TourAnchor.h"
#include "widgets/ViewTask.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include <iterator>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QToolButton* toolButton(const QString& title, const QIcon& icon, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(title);
    button->setIcon(icon);
    button->setToolTip(tip);
    button->setAccessibleName(title);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

// No icon theme names the effects: the bundled symbols, in the order of the effects.
constexpr const char16_t* effectSymbols[] = {
    u"circle.lefthalf.filled",
    u"arrow.down.to.line",
    u"square.grid.2x2",
    u"arrow.up.left.and.arrow.down.right",
    u"rectangle.righthalf.inset.filled.arrow.right",
    u"rectangle.on.rectangle.angled",
};
static_assert(std::size(effectSymbols) == SaverEffect::reflections + 1);

} // namespace

BrowserToolbar::BrowserToolbar(BrowserState& state, ErrorSink& errors, Guidance& guidance,
                               SaverLauncher& saver, RotationEngine& rotation, WindowPresenter& window,
                               QWidget* parent)
    : QWidget(parent), m_state(state), m_errors(errors), m_saver(saver), m_rotation(rotation),
      m_search(new QLineEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(4);
    // Places is Ctrl+3 and Playlists Ctrl+2, in this order on screen.
    layout->addWidget(
        addModeToggle(BrowseMode::home, u"Home"_s, SymbolIcon::themed(u"go-home"_s, u"house"_s), Qt::Key_1));
    layout->addWidget(addModeToggle(BrowseMode::places, tr("Places"),
                                    SymbolIcon::themed(u"mark-location"_s, u"map"_s), Qt::Key_3));
    layout->addWidget(addModeToggle(BrowseMode::playlists, u"Playlists"_s,
                                    SymbolIcon::themed(u"view-list-details"_s, u"list.bullet"_s), Qt::Key_2));
    auto showMode = [this] {
        for (auto it = m_modes.cbegin(); it != m_modes.cend(); ++it)
            it.value()->setChecked(it.key() == m_state.mode());
    };
    connect(&state, &BrowserState::modeChanged, this, showMode);
    showMode();

    layout->addStretch(1);
    auto* columns = new ColumnsSelector(state.columns(), this);
    connect(columns, &ColumnsSelector::columnsChosen, &state, &BrowserState::setColumns);
    connect(&state, &BrowserState::columnsChanged, columns,
            [this, columns] { columns->setColumns(m_state.columns()); });
    layout->addWidget(columns);
    layout->addStretch(1);

    m_search->setObjectName(u"browser.search"_s);
    m_search->setPlaceholderText(tr("Search photos"));
    m_search->setClearButtonEnabled(true);
    m_search->setFixedWidth(200);
    // The clear button's emptying of the field counts as an edit too.
    connect(m_search, &QLineEdit::textEdited, &state, &BrowserState::editSearchText);
    connect(&state, &BrowserState::searchTextChanged, m_search, [this] {
        if (m_search->text() != m_state.searchText())
            m_search->setText(m_state.searchText());
    });
    connect(m_search, &QLineEdit::returnPressed, &state, &BrowserState::submitSearch);
    layout->addWidget(m_search);

    m_play = makePlayButton();
    layout->addWidget(m_play);

    m_next = toolButton(tr("Next Wallpaper"), SymbolIcon::themed(u"media-skip-forward"_s, u"forward.fill"_s),
                        tr("Next wallpaper"), this);
    connect(m_next, &QToolButton::clicked, this,
            [this] { ViewTask::start(m_errors, m_rotation.changeWallpaper(true)); });
    auto showChanging = [this] { m_next->setEnabled(!m_rotation.isChanging()); };
    connect(&rotation, &RotationEngine::isChangingChanged, this, showChanging);
    showChanging();
    layout->addWidget(m_next);

    m_settings = toolButton(tr("Settings"), SymbolIcon::themed(u"preferences-system"_s, u"gearshape"_s),
                            tr("Settings"), this);
    m_settings->setObjectName(u"browser.settings"_s);
    connect(m_settings, &QToolButton::clicked, this,
            [this, &guidance, &window] { SettingsRequest::raise(guidance, window); });
    new TourAnchor(guidance, *m_settings, 3, TourAnchor::Edge::bottom);
    layout->addWidget(m_settings);
}

QToolButton* BrowserToolbar::addModeToggle(BrowseMode mode, const QString& title, const QIcon& icon, int key)
{
    auto* button = toolButton(title, icon, title, this);
    button->setCheckable(true);
    button->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(key)));
    // A click on the active toggle would turn it off; the state decides and the toggle follows.
    connect(button, &QToolButton::clicked, this, [this, mode, button] {
        m_state.selectMode(mode, false);
        button->setChecked(m_state.mode() == mode);
    });
    m_modes.insert(mode, button);
    return button;
}

QToolButton* BrowserToolbar::makePlayButton()
{
    QToolButton* play = toolButton(tr("Play"), SymbolIcon::themed(u"media-playback-start"_s, u"play.fill"_s),
                                   tr("Play these photos"), this);
    play->setObjectName(u"browser.play"_s);
    play->setPopupMode(QToolButton::MenuButtonPopup);
    connect(play, &QToolButton::clicked, this, [this] { m_state.playAsLast(std::nullopt); });

    auto* menu = new QMenu(play);
    connect(menu->addAction(SymbolIcon::themed(u"view-presentation"_s, u"play.rectangle"_s), tr("Slideshow")),
            &QAction::triggered, this, [this] { m_state.play(PlayMode::slideshow(), std::nullopt); });
    connect(menu->addAction(SymbolIcon::bundled(u"text.below.photo"_s), tr("Stories")), &QAction::triggered,
            this, [this] { m_state.play(PlayMode::infoshow(), std::nullopt); });
    menu->addSection(tr("Screen Saver Effects"));
    for (SaverEffect effect : SaverEffect::all()) {
        connect(
            menu->addAction(SymbolIcon::bundled(QString::fromUtf16(effectSymbols[SaverEffect::Case(effect)])),
                            effect.label()),
            &QAction::triggered, this,
            [this, effect] { m_state.play(PlayMode::saver(effect), std::nullopt); });
    }
    menu->addSeparator();
    connect(
        menu->addAction(SymbolIcon::themed(u"video-display"_s, u"sparkles.tv"_s), tr("Start Screen Saver")),
        &QAction::triggered, this,
        [this] { ViewTask::start(m_errors, m_saver.startSaverNow(std::nullopt)); });
    play->setMenu(menu);

    auto showMedia = [this, play] { play->setEnabled(!m_state.gridMedia().isEmpty()); };
    connect(&m_state, &BrowserState::gridMediaChanged, play, showMedia);
    showMedia();
    return play;
}

} // namespace lumi
