#include "state/SettingsSync.h"

#include "model/APIClient.h"
#include "model/Account.h"
#include "model/AppLog.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/Autostart.h"
#include "state/AppModel.h"
#include "state/DailyNotifications.h"
#include "state/EventSink.h"
#include "state/WallpaperRotation.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString wallpaperSection = u"wallpaper"_s;
const QString applicationSection = u"application"_s;
const QString yes = u"yes"_s;
const QString no = u"no"_s;

} // namespace

SettingsSync::SettingsSync(Services services, QObject* parent)
    : QObject(parent), m_model(services.model), m_account(services.account), m_defaults(services.defaults),
      m_notifications(services.notifications), m_autostart(services.autostart), m_events(services.events),
      m_rotation(services.rotation)
{
    connect(&m_account, &Account::userChanged, this, &SettingsSync::adoptShowStartup);
    connect(&m_account, &Account::signedInChanged, this, &SettingsSync::adoptShowStartup);
}

SettingsSync::~SettingsSync() = default;

QCoro::Task<void> SettingsSync::setRotateDesktop(RotationInterval interval)
{
    return send(u"rotate_desktop"_s, interval.value(), wallpaperSection, false);
}

QCoro::Task<void> SettingsSync::setPaperRandom(bool shuffle)
{
    const QPointer<AppModel> model(&m_model);
    co_await send(u"paper_random"_s, shuffle, wallpaperSection, false);
    // The next change builds the pool again, its queue in the order the setting now says.
    if (model)
        model->resetPhotoPools();
}

QCoro::Task<void> SettingsSync::setFitDesktop(WallpaperFit fit)
{
    return send(u"fit_desktop"_s, fit.value(), wallpaperSection, true);
}

QCoro::Task<void> SettingsSync::setLumivaleTitleSize(bool showTitle)
{
    return send(u"lumivale_title_size"_s, showTitle ? u"small"_s : u"none"_s, wallpaperSection, true);
}

QCoro::Task<void> SettingsSync::setNotifications(bool enabled)
{
    // The setting is sent whatever the desktop answers.
    if (enabled)
        m_notifications.requestAuthorization();
    return send(u"notifications"_s, enabled ? u"all"_s : u"none"_s, applicationSection, false);
}

QCoro::Task<bool> SettingsSync::canShowNotifications()
{
    return m_notifications.canNotify();
}

QCoro::Task<void> SettingsSync::setShortcutsEnabled(bool enabled)
{
    if (!m_account.user())
        co_return;
    QStringList flags = m_account.user()->flagList();
    flags.removeAll(u"no-shortcuts"_s);
    if (!enabled)
        flags.append(u"no-shortcuts"_s);
    co_await send(u"flags"_s, flags.join(u' '), applicationSection, false);
}

QCoro::Task<void> SettingsSync::setMultiDisplayNextPaper(bool samePhoto)
{
    return send(u"multi_display_next_paper"_s, samePhoto ? u"same"_s : u"diff"_s, wallpaperSection, false);
}

QCoro::Task<void> SettingsSync::setSaverSetting(QString key, QJsonValue value)
{
    return send(std::move(key), std::move(value), u"saver"_s, false);
}

QCoro::Task<void> SettingsSync::setCalendarSetting(QString key, QString value)
{
    return send(std::move(key), std::move(value), u"calendar"_s, true);
}

// --- Login item ---------------------------------------------------------------------------------

void SettingsSync::answerLoginItem(bool enable)
{
    m_defaults.setValue(keys::askedLoginItem, true);
    m_model.setAskLoginItem(false);
    m_model.spawn(setLaunchAtLogin(enable));
}

QCoro::Task<void> SettingsSync::setLaunchAtLogin(bool enabled)
{
    if (enabled)
        m_defaults.setValue(keys::loginItemConsent, true);
    const QString value = enabled ? yes : no;
    // A failed registration still records the wish, here and on the server.
    setLoginItem(enabled);
    // Recorded before the request, so the server's echo of it is not adopted again.
    m_defaults.setValue(keys::showStartupSeen, value);
    if (!m_account.isSignedIn() || m_account.user()->showStartup == value)
        co_return;
    co_await send(u"show_startup"_s, value, applicationSection, false);
}

QCoro::Task<void> SettingsSync::send(QString key, QJsonValue value, QString section, bool redraw)
{
    const QPointer<SettingsSync> self(this);
    const AppModel::Session session = m_model.session();
    QJsonObject change;
    change.insert(key, value);
    try {
        // Nothing changes locally before the server's answer: its record is the truth.
        UserResponse answer = co_await m_model.api().updateUser(change);
        if (session.isCurrent())
            session.model->applyUser(std::move(answer.user));
    } catch (const std::exception& error) {
        if (session.isCurrent())
            session.model->handleActionError(error);
    }
    if (!self || !session.isCurrent())
        co_return;
    m_events.track(u"settings-changed"_s, QJsonObject{{u"setting"_s, section}});
    if (redraw)
        m_rotation.redrawNow();
}

void SettingsSync::adoptShowStartup()
{
    if (!m_account.isSignedIn())
        return;
    const std::optional<QString>& value = m_account.user()->showStartup;
    if (!value || (*value != yes && *value != no))
        return;
    if (m_defaults.stringValue(keys::showStartupSeen) == value)
        return;
    m_defaults.setValue(keys::showStartupSeen, *value);
    const bool registered = m_autostart.isEnabled();
    const AppLog log(u"app"_s);
    if (*value == no) {
        if (registered) {
            log.info(u"show_startup no (from another app): login item off"_s);
            setLoginItem(false);
        }
        return;
    }
    // Another computer's "yes" turns autostart on only where the user agreed to it before.
    if (registered || m_defaults.boolValue(keys::loginItemConsent) != true)
        return;
    log.info(u"show_startup yes (from another app): login item on"_s);
    setLoginItem(true);
}

void SettingsSync::setLoginItem(bool enabled)
{
    // Nothing more to do about it than to say why the session won't follow the choice.
    if (const std::optional<QString> failure = m_autostart.setEnabled(enabled))
        AppLog(u"app"_s).error(u"login item %1 failed: %2"_s.arg(enabled ? u"on"_s : u"off"_s, *failure));
}

bool SettingsSync::isLaunchAtLoginEnabled() const
{
    return m_autostart.isEnabled();
}

} // namespace lumi
