#include "settings/ScreenSaverSettings.h"

#include "model/SaverEffect.h"
#include "model/SaverIdle.h"
#include "model/SaverPause.h"
#include "model/User.h"
#include "settings/ChoicePicker.h"
#include "settings/PaneText.h"
#include "state/SaverLauncher.h"
#include "state/SettingsSync.h"
#include "widgets/PrimaryButton.h"
#include "widgets/ViewTask.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QList<ChoiceOption> effectOptions()
{
    QList<ChoiceOption> options{{SaverEffect::randomValue(), ScreenSaverSettings::tr("Random")}};
    options.append(ChoicePicker::optionsOf<SaverEffect>());
    return options;
}

} // namespace

ScreenSaverSettings::ScreenSaverSettings(ErrorSink& errors, const Account& account, SettingsSync& settings,
                                         SaverLauncher& saver, QWidget* parent)
    : AccountPane(errors, account, tr("Sign in to set up the screen saver."), parent)
{
    const auto sendText = [&settings](const QString& key) {
        return [&settings, key](QString value) { return settings.setSaverSetting(key, value); };
    };
    m_idle = addPicker(u"saver.idle"_s, tr("Start after idle for"), ChoicePicker::optionsOf<SaverIdle>(),
                       sendText(u"saver_idle"_s));
    m_effect = addPicker(u"saver.effect"_s, tr("Effect"), effectOptions(), sendText(u"saver_show"_s));
    m_pause = addPicker(u"saver.pause"_s, tr("Each photo for"), ChoicePicker::optionsOf<SaverPause>(),
                        sendText(u"saver_pause"_s));
    m_shuffle = makeToggle(u"saver.shuffle"_s, tr("Shuffle photos"),
                           [&settings](bool on) { return settings.setSaverSetting(u"saver_random"_s, on); });
    m_fill = makeToggle(u"saver.fill"_s, tr("Fill the screen (crop)"),
                        [&settings](bool on) { return settings.setSaverSetting(u"saver_fit"_s, on); });
    m_titles = makeToggle(u"saver.titles"_s, tr("Show photo titles"), [&settings](bool on) {
        return settings.setSaverSetting(u"saver_title"_s, on ? u"small"_s : u"none"_s);
    });
    for (QCheckBox* toggle : {m_shuffle, m_fill, m_titles})
        controls().addWidget(toggle);
    controls().addWidget(
        PaneText::note(tr("The screen saver plays the playlists marked ☑ in the sidebar. Any key, "
                          "click or mouse movement ends it."),
                       this));
    auto* preview = new PrimaryButton(tr("Preview"), this);
    preview->setObjectName(u"saver.preview"_s);
    connect(preview, &QPushButton::clicked, this,
            [&errors, &saver] { ViewTask::start(errors, saver.startSaverNow(std::nullopt)); });
    auto* row = new QHBoxLayout;
    row->addWidget(preview);
    row->addStretch();
    controls().addLayout(row);
    refresh();
}

ScreenSaverSettings::~ScreenSaverSettings() = default;

void ScreenSaverSettings::showUser(const User& user)
{
    m_idle->showValue(SaverIdle::fromSetting(user.saverIdle).value());
    // Any stored text is shown as it is: one no option holds shows no choice.
    m_effect->showValue(user.saverShow.value_or(SaverEffect(SaverEffect::fader).value()));
    m_pause->showValue(SaverPause::fromSetting(user.saverPause).value());
    m_shuffle->setChecked(user.saverRandom.value_or(false));
    m_fill->setChecked(user.saverFit.value_or(false));
    m_titles->setChecked(user.saverTitle != u"none"_s);
}

} // namespace lumi
