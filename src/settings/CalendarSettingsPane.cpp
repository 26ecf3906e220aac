#include "settings/CalendarSettingsPane.h"

#include "model/CalendarSettings.h"
#include "model/User.h"
#include "settings/ChoicePicker.h"
#include "settings/PaneText.h"
#include "state/SettingsSync.h"
#include "wallpaper/CalendarService.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int gridSpacing = 12;

QList<ChoiceOption> opacityOptions()
{
    QList<ChoiceOption> options{{u"100"_s, u"100% (photo hidden behind it)"_s}};
    for (const int percent : {90, 80, 70, 60})
        options.append({QString::number(percent), QString::number(percent) + u'%'});
    options.append({u"50"_s, u"50% (photo mostly visible)"_s});
    return options;
}

} // namespace

CalendarSettingsPane::CalendarSettingsPane(ErrorSink& errors, const Account& account, SettingsSync& settings,
                                           QWidget* parent)
    : AccountPane(errors, account, tr("Sign in to set up the calendar."), parent)
{
    m_shown = makeToggle(u"calendar.shown"_s, tr("Show a calendar on the wallpaper"), [&settings](bool on) {
        return settings.setCalendarSetting(u"calendar_size"_s, on ? u"medium"_s : u"zero"_s);
    });
    controls().addWidget(m_shown);

    m_grid = new QWidget(this);
    auto* grid = new QGridLayout(m_grid);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(gridSpacing);
    grid->setVerticalSpacing(gridSpacing);
    const auto addRow = [&](const QString& name, const QString& label, const QString& key,
                            const QList<ChoiceOption>& options) {
        ChoicePicker* picker = makePicker(name, options, [&settings, key](QString value) {
            return settings.setCalendarSetting(key, value);
        });
        picker->setParent(m_grid);
        QLabel* title = PaneText::line(label, m_grid);
        title->setBuddy(picker);
        const int row = grid->rowCount();
        grid->addWidget(title, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(picker, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
        return picker;
    };
    m_theme = addRow(u"calendar.theme"_s, tr("Theme"), u"calendar_theme"_s, CalendarSettings::themeOptions());
    m_size = addRow(u"calendar.size"_s, tr("Size"), u"calendar_size"_s, CalendarSettings::sizeOptions());
    m_position = addRow(u"calendar.position"_s, tr("Position"), u"calendar_position"_s,
                        CalendarSettings::positionOptions());
    m_opacity = addRow(u"calendar.opacity"_s, tr("Opacity"), u"calendar_opacity"_s, opacityOptions());
    m_start = addRow(u"calendar.start"_s, tr("Week starts on"), u"calendar_start"_s,
                     CalendarSettings::startOptions());
    m_past =
        addRow(u"calendar.past"_s, tr("Past months"), u"calendar_past"_s, CalendarSettings::monthOptions());
    m_future = addRow(u"calendar.future"_s, tr("Future months"), u"calendar_future"_s,
                      CalendarSettings::monthOptions());
    grid->setColumnStretch(2, 1);
    controls().addWidget(m_grid);

    controls().addWidget(
        PaneText::note(tr("The calendar changes at midnight. These settings are saved to your "
                          "Lumivale account, so the Lumivale app on your other computers uses "
                          "them too."),
                       this));
    refresh();
}

CalendarSettingsPane::~CalendarSettingsPane() = default;

void CalendarSettingsPane::showUser(const User& user)
{
    const std::optional<CalendarSettings> settings = CalendarService::calendarSettings(user);
    m_shown->setChecked(settings.has_value());
    m_grid->setVisible(settings.has_value());
    if (!settings)
        return;
    m_theme->showValue(settings->theme);
    m_size->showValue(settings->size);
    m_position->showValue(settings->position);
    m_opacity->showValue(QString::number(settings->opacity));
    m_start->showValue(settings->start);
    m_past->showValue(settings->past);
    m_future->showValue(settings->future);
}

} // namespace lumi
