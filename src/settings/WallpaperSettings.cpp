#include "settings/WallpaperSettings.h"

#include "model/RotationInterval.h"
#include "model/User.h"
#include "model/WallpaperFit.h"
#include "settings/ChoicePicker.h"
#include "settings/PaneText.h"
#include "state/SettingsSync.h"
#include "wallpaper/RotationEngine.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

WallpaperSettings::WallpaperSettings(ErrorSink& errors, const Account& account, SettingsSync& settings,
                                     const RotationEngine& rotation, QWidget* parent)
    : AccountPane(errors, account, tr("Sign in to set up your wallpaper."), parent), m_rotation(rotation)
{
    m_interval = addPicker(u"wallpaper.interval"_s, tr("Change wallpaper"),
                           ChoicePicker::optionsOf<RotationInterval>(), [&settings](QString value) {
                               return settings.setRotateDesktop(RotationInterval::fromSetting(value));
                           });
    m_shuffle = makeToggle(u"wallpaper.shuffle"_s, tr("Shuffle photos"),
                           [&settings](bool on) { return settings.setPaperRandom(on); });
    controls().addWidget(m_shuffle);
    m_fit = addPicker(
        u"wallpaper.fit"_s, tr("Fit photos to the screen"), ChoicePicker::optionsOf<WallpaperFit>(),
        [&settings](QString value) { return settings.setFitDesktop(WallpaperFit::fromSetting(value)); });
    m_title = makeToggle(u"wallpaper.title"_s, tr("Show the photo's title on the wallpaper"),
                         [&settings](bool on) { return settings.setLumivaleTitleSize(on); });
    controls().addWidget(m_title);
    m_sameOnEvery = makeToggle(u"wallpaper.sameOnEvery"_s, tr("Same photo on every display"),
                               [&settings](bool on) { return settings.setMultiDisplayNextPaper(on); });
    controls().addWidget(m_sameOnEvery);
    m_note = PaneText::note(QString(), this);
    m_note->setObjectName(u"wallpaper.note"_s);
    controls().addWidget(m_note);
    connect(&rotation, &RotationEngine::failureChanged, this, &WallpaperSettings::showRotation);
    showRotation();
    refresh();
}

void WallpaperSettings::showRotation()
{
    const std::optional<QString> failure = m_rotation.failure();
    m_note->setText(failure ? tr("Your wallpaper isn't changing: %1").arg(*failure)
                            : tr("Your wallpaper rotates through the playlists marked ● in the sidebar."));
}

WallpaperSettings::~WallpaperSettings() = default;

void WallpaperSettings::showUser(const User& user)
{
    m_interval->showValue(RotationInterval::fromSetting(user.rotateDesktop).value());
    m_shuffle->setChecked(user.paperRandom.value_or(false));
    m_fit->showValue(WallpaperFit::fromSetting(user.fitDesktop).value());
    m_title->setChecked(user.lumivaleTitleSize == u"small"_s);
    m_sameOnEvery->setChecked(user.multiDisplayNextPaper == u"same"_s);
}

} // namespace lumi
