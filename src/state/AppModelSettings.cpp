#include "state/AppModel.h"

#include "model/APIClient.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/Autostart.h"
#include "state/DailyNotifications.h"
#include "state/EventSink.h"
#include "state/WallpaperRotation.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString wallpaperSection = u"wallpaper"_s;
const QString applicationSection = u"application"_s;
const QString yes = u"yes"_s;
const QString no = u"no"_s;

} // namespace

QCoro::Task<void> AppModel::sendSetting(QString key, QJsonValue value, QString section, bool redraw)
{
    const Session session = this->session();
    QJsonObject change;
    change.insert(key, value);
    try {
        // Nothing changes locally before the server's answer: its record is the truth.
        UserResponse answer = co_await m_api.updateUser(change);
        if (session.isCurrent())
            applyUser(std::move(answer.user));
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, false);
    }
    if (!session.isCurrent())
        co_return;
    const QJsonObject properties{{u"setting"_s, section}};
    m_events.track(u"settings-changed"_s, properties);
    if (redraw)
        m_rotation.redrawNow();
}

QCoro::Task<void> AppModel::setRotateDesktop(RotationInterval interval)
{
    return sendSetting(u"rotate_desktop"_s, interval.value(), wallpaperSection, false);
}

QCoro::Task<void> AppModel::setPaperRandom(bool shuffle)
{
    return sendSetting(u"paper_random"_s, shuffle, wallpaperSection, false);
}

QCoro::Task<void> AppModel::setFitDesktop(WallpaperFit fit)
{
    return sendSetting(u"fit_desktop"_s, fit.value(), wallpaperSection, true);
}

QCoro::Task<void> AppModel::setLumivaleTitleSize(bool showTitle)
{
    return sendSetting(u"lumivale_title_size"_s, showTitle ? u"small"_s : u"none"_s, wallpaperSection, true);
}

QCoro::Task<void> AppModel::setNotifications(bool enabled)
{
    // The setting is sent whatever the desktop answers.
    if (enabled)
        m_notifications.requestAuthorization();
    return sendSetting(u"notifications"_s, enabled ? u"all"_s : u"none"_s, applicationSection, false);
}

QCoro::Task<void> AppModel::setShortcutsEnabled(bool enabled)
{
    if (!m_account.user())
        co_return;
    QStringList flags = m_account.user()->flagList();
    flags.removeAll(u"no-shortcuts"_s);
    if (!enabled)
        flags.append(u"no-shortcuts"_s);
    co_await sendSetting(u"flags"_s, flags.join(u' '), applicationSection, false);
}

QCoro::Task<void> AppModel::setMultiDisplayNextPaper(bool samePhoto)
{
    return sendSetting(u"multi_display_next_paper"_s, samePhoto ? u"same"_s : u"diff"_s, wallpaperSection,
                       false);
}

QCoro::Task<void> AppModel::setSaverSetting(QString key, QJsonValue value)
{
    return sendSetting(std::move(key), std::move(value), u"saver"_s, false);
}

QCoro::Task<void> AppModel::setCalendarSetting(QString key, QString value)
{
    return sendSetting(std::move(key), std::move(value), u"calendar"_s, true);
}

// --- Login item ---------------------------------------------------------------------------------

void AppModel::answerLoginItem(bool enable)
{
    m_defaults.setValue(keys::askedLoginItem, true);
    setAskLoginItem(false);
    spawn(setLaunchAtLogin(enable));
}

QCoro::Task<void> AppModel::setLaunchAtLogin(bool enabled)
{
    if (enabled)
        m_defaults.setValue(keys::loginItemConsent, true);
    const QString value = enabled ? yes : no;
    // A failed registration still records the wish, here and on the server.
    m_autostart.setEnabled(enabled);
    // Recorded before the request, so the server's echo of it is not adopted again.
    m_defaults.setValue(keys::showStartupSeen, value);
    if (!m_account.isSignedIn() || m_account.user()->showStartup == value)
        co_return;
    co_await sendSetting(u"show_startup"_s, value, applicationSection, false);
}

void AppModel::applyShowStartup(std::optional<QString> value)
{
    if (!value || (*value != yes && *value != no))
        return;
    if (m_defaults.stringValue(keys::showStartupSeen) == value)
        return;
    m_defaults.setValue(keys::showStartupSeen, *value);
    const bool registered = m_autostart.isEnabled();
    if (*value == no) {
        if (registered) {
            m_log.info(u"show_startup no (from another app): login item off"_s);
            m_autostart.setEnabled(false);
        }
        return;
    }
    // Another computer's "yes" turns autostart on only where the user agreed to it before.
    if (registered || m_defaults.boolValue(keys::loginItemConsent) != true)
        return;
    m_log.info(u"show_startup yes (from another app): login item on"_s);
    m_autostart.setEnabled(true);
}

bool AppModel::isLaunchAtLoginEnabled() const
{
    return m_autostart.isEnabled();
}

} // namespace lumi
