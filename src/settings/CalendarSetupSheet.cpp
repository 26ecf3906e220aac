#include "settings/CalendarSetupSheet.h"

#include "imaging/BundledFonts.h"
#include "model/Account.h"
#include "model/User.h"
#include "player/PhotoImageSource.h"
#include "settings/CalendarPreview.h"
#include "settings/PaneText.h"
#include "settings/ThemeTile.h"
#include "state/Guidance.h"
#include "wallpaper/CalendarService.h"
#include "wallpaper/RotationEngine.h"
#include "widgets/Palette.h"
#include "widgets/ViewTask.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int columns = 6;
constexpr int tileSpacing = 6;

} // namespace

CalendarSetupSheet::CalendarSetupSheet(ErrorSink& errors, const Account& account, Guidance& guidance,
                                       RotationEngine& rotation, PhotoImageSource& photos, QWidget* parent)
    : QDialog(parent), m_errors(errors), m_account(account), m_guidance(guidance), m_rotation(rotation),
      m_photos(photos)
{
    setObjectName(u"calendarSetup"_s);
    setWindowTitle(tr("Desktop calendar"));
    setFont(BundledFonts::font(14, QFont::Normal));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    QLabel* title = PaneText::line(tr("Add a calendar to your desktop?"), this);
    title->setFont(BundledFonts::font(20, QFont::Normal));
    layout->addWidget(title);

    m_preview = new CalendarPreview(rotation.calendar(), this);
    m_preview->setObjectName(u"calendarSetup.preview"_s);
    layout->addWidget(m_preview);

    auto* tiles = new QWidget(this);
    tiles->setFixedWidth(CalendarPreview::previewSize.width());
    auto* grid = new QGridLayout(tiles);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(tileSpacing);
    QList<std::pair<std::optional<QString>, QString>> choices;
    for (const CalendarSettings::Option& option : CalendarSettings::themeOptions())
        choices.append({option.value, option.label});
    choices.append({std::nullopt, tr("No calendar")});
    for (const auto& [value, label] : std::as_const(choices)) {
        auto* tile = new ThemeTile(label, tiles);
        tile->setObjectName(u"calendarSetup.tile"_s);
        connect(tile, &ThemeTile::clicked, this, [this, value] { select(value); });
        const int index = int(m_tiles.size());
        grid->addWidget(tile, index / columns, index % columns);
        m_tiles.append({value, tile});
    }
    for (int column = 0; column < columns; ++column)
        grid->setColumnStretch(column, 1);
    layout->addWidget(tiles);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 4, 0, 0);
    QLabel* note = PaneText::note(tr("You can change it any time in Settings."), this);
    // One line: the buttons beside it would squeeze a wrapping note onto two.
    note->setWordWrap(false);
    bottom->addWidget(note);
    bottom->addStretch();
    auto* notNow = new QPushButton(tr("Not Now"), this);
    notNow->setObjectName(u"calendarSetup.notNow"_s);
    notNow->setAutoDefault(false);
    auto* done = new QPushButton(tr("Done"), this);
    done->setObjectName(u"calendarSetup.done"_s);
    done->setDefault(true);
    // Escape rejects the sheet, which its presenter counts as "Not Now".
    connect(notNow, &QPushButton::clicked, this,
            [this] { m_guidance.finishOnboarding(false, std::nullopt); });
    connect(done, &QPushButton::clicked, this, [this] { m_guidance.finishOnboarding(true, m_selected); });
    bottom->addWidget(notNow);
    bottom->addWidget(done);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(&account, &Account::userChanged, this, &CalendarSetupSheet::showPreview);
    connect(&rotation, &RotationEngine::nowShowingChanged, this,
            [this] { ViewTask::start(m_errors, loadPhoto()); });
    select(m_selected);
    ViewTask::start(m_errors, loadPhoto());
}

CalendarSetupSheet::~CalendarSetupSheet() = default;

void CalendarSetupSheet::showEvent(QShowEvent* event)
{
    select(suggestion(m_account.user()));
    QDialog::showEvent(event);
}

std::optional<QString> CalendarSetupSheet::suggestion(const std::optional<User>& user)
{
    const std::optional<CalendarSettings> settings = CalendarService::calendarSettings(user);
    if (!settings)
        return std::nullopt;
    const QList<CalendarSettings::Option>& themes = CalendarSettings::themeOptions();
    for (const CalendarSettings::Option& option : themes) {
        if (option.value == settings->theme)
            return option.value;
    }
    return themes.first().value;
}

CalendarSettings CalendarSetupSheet::previewSettings(const std::optional<User>& user, const QString& theme)
{
    std::optional<CalendarSettings> settings = CalendarService::calendarSettings(user);
    if (!settings) {
        settings = CalendarSettings{};
        const QString position = user ? user->calendarPosition.value_or(QString()) : QString();
        if (!position.isEmpty())
            settings->position = position;
        settings->start = user && user->calendarStart == u"monday"_s ? u"monday"_s : u"sunday"_s;
    }
    settings->theme = theme;
    return *settings;
}

void CalendarSetupSheet::select(std::optional<QString> theme)
{
    m_selected = std::move(theme);
    for (const auto& [value, tile] : std::as_const(m_tiles))
        tile->setChecked(value == m_selected);
    showPreview();
}

void CalendarSetupSheet::showPreview()
{
    m_preview->setSettings(m_selected ? std::optional(previewSettings(m_account.user(), *m_selected))
                                      : std::nullopt);
}

QCoro::Task<void> CalendarSetupSheet::loadPhoto()
{
    const QPointer<CalendarSetupSheet> self(this);
    // A newer photo wins over an answer still on its way.
    const quint64 request = ++m_photoRequests;
    m_preview->setPhoto(std::nullopt);
    const std::optional<Medium> photo = m_rotation.nowShowing();
    if (!photo)
        co_return;
    std::optional<QImage> image = co_await m_photos.image(*photo, false);
    if (self && request == m_photoRequests)
        m_preview->setPhoto(std::move(image));
}

} // namespace lumi
