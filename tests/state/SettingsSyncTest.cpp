#include "model/APIError.h"
#include "model/DefaultsKeys.h"
#include "platform/Paths.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using lumi::AppModel;
using lumi::SettingsSync;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SandboxFixture;
namespace keys = lumi::keys;

namespace {

struct Setter
{
    const char* name;
    QString key;
    QJsonValue sent;
    QString section;
    bool redraw;
};

const QList<Setter> setters{
    {"interval", u"rotate_desktop"_s, u"5minutes"_s, u"wallpaper"_s, false},
    {"shuffle", u"paper_random"_s, false, u"wallpaper"_s, false},
    {"fit", u"fit_desktop"_s, u"fit"_s, u"wallpaper"_s, true},
    {"title off", u"lumivale_title_size"_s, u"none"_s, u"wallpaper"_s, true},
    {"notifications", u"notifications"_s, u"all"_s, u"application"_s, false},
    {"shortcuts off", u"flags"_s, u"no-shortcuts"_s, u"application"_s, false},
    {"same photo", u"multi_display_next_paper"_s, u"same"_s, u"wallpaper"_s, false},
    {"saver pause", u"saver_pause"_s, u"3"_s, u"saver"_s, false},
    {"calendar off", u"calendar_size"_s, u"zero"_s, u"calendar"_s, true},
};

QCoro::Task<void> runSetter(SettingsSync& settings, const QString& name)
{
    if (name == u"interval"_s)
        return settings.setRotateDesktop(lumi::RotationInterval::fiveMinutes);
    if (name == u"shuffle"_s)
        return settings.setPaperRandom(false);
    if (name == u"fit"_s)
        return settings.setFitDesktop(lumi::WallpaperFit::fit);
    if (name == u"title off"_s)
        return settings.setLumivaleTitleSize(false);
    if (name == u"notifications"_s)
        return settings.setNotifications(true);
    if (name == u"shortcuts off"_s)
        return settings.setShortcutsEnabled(false);
    if (name == u"same photo"_s)
        return settings.setMultiDisplayNextPaper(true);
    if (name == u"saver pause"_s)
        return settings.setSaverSetting(u"saver_pause"_s, u"3"_s);
    return settings.setCalendarSetting(u"calendar_size"_s, u"zero"_s);
}

/// A "show_startup" value arrives with the signed-in user, however the model came by it.
void holdUser(AppModel& model, std::optional<QString> showStartup)
{
    lumi::User user;
    user.uuid = u"user-1"_s;
    user.showStartup = std::move(showStartup);
    model.setSessionToken(u"token"_s);
    model.setUser(user);
}

QJsonObject bodyOf(const QJsonValue& request)
{
    return QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8()).object();
}

} // namespace

class SettingsSyncTest final : public QObject
{
    Q_OBJECT

private slots:
    void settersSendOneKeyAndApplyTheAnswer_data();
    void settersSendOneKeyAndApplyTheAnswer();
    void shortcutFlagsAreRewritten_data();
    void shortcutFlagsAreRewritten();
    void serverLoginItemChoiceIsAdopted_data();
    void serverLoginItemChoiceIsAdopted();
    void launchRecordsConsentOnlyWhileEnabled_data();
    void launchRecordsConsentOnlyWhileEnabled();
    void launchAtLoginSwitch_data();
    void launchAtLoginSwitch();
    void failedLoginItemChangeIsLogged_data();
    void failedLoginItemChangeIsLogged();
};

void SettingsSyncTest::settersSendOneKeyAndApplyTheAnswer_data()
{
    QTest::addColumn<QString>("setter");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("sent");
    QTest::addColumn<QString>("section");
    QTest::addColumn<bool>("redraw");
    QTest::addColumn<bool>("fails");

    for (const Setter& setter : setters) {
        for (const bool fails : {false, true}) {
            QTest::addRow("%s, %s", setter.name, fails ? "refused" : "answered")
                << QString::fromLatin1(setter.name) << setter.key << setter.sent << setter.section
                << setter.redraw << fails;
        }
    }
}

void SettingsSyncTest::settersSendOneKeyAndApplyTheAnswer()
{
    QFETCH(QString, setter);
    QFETCH(QString, key);
    QFETCH(QJsonValue, sent);
    QFETCH(QString, section);
    QFETCH(bool, redraw);
    QFETCH(bool, fails);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const lumi::User before = *model.account().user();

    // The server answers with a record of its own, which must win over what was sent.
    QJsonObject answered = before.toJson();
    const QJsonValue serverValue = sent.isBool() ? QJsonValue(!sent.toBool()) : QJsonValue(u"server-value"_s);
    answered.insert(key, serverValue);
    answered.insert(u"first_name"_s, u"From Server"_s);
    QJsonObject fault{{u"method"_s, u"PUT"_s}, {u"path"_s, u"/api/v6/users"_s}};
    if (fails) {
        fault.insert(u"status"_s, 500);
    } else {
        fault.insert(u"status"_s, 200);
        fault.insert(u"body"_s,
                     QString::fromUtf8(QJsonDocument(QJsonObject{{u"user"_s, answered}}).toJson()));
    }
    QVERIFY(h.sandbox.addFault(fault));

    QVERIFY(!runTask(runSetter(h.settings(), setter)));
    QVERIFY(h.settle());

    const QJsonArray requests = h.apiRequests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(bodyOf(requests.first()), (QJsonObject{{u"user"_s, QJsonObject{{key, sent}}}}));
    if (fails) {
        QCOMPARE(*model.account().user(), before);
        QVERIFY(model.alert().has_value());
    } else {
        QCOMPARE(model.account().user()->toJson().value(key), serverValue);
        QCOMPARE(model.account().user()->firstName, u"From Server"_s);
        const QJsonObject cached = QJsonDocument::fromJson(*h.defaults.bytesValue(keys::user)).object();
        QCOMPARE(cached.value(u"first_name"_s).toString(), u"From Server"_s);
        QVERIFY(!model.alert().has_value());
    }
    const QString event = u"events.track(settings-changed,setting="_s + section + u')';
    QCOMPARE(h.journal.count(event), 1);
    QCOMPARE(h.journal.count(u"rotation.redraw"_s), redraw ? 1 : 0);
    if (redraw)
        QVERIFY(h.journal.calls().indexOf(event) < h.journal.calls().indexOf(u"rotation.redraw"_s));
}

void SettingsSyncTest::shortcutFlagsAreRewritten_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("shortcutCall");

    QTest::newRow("disable") << u"beta|no-cdn"_s << false << u"beta no-cdn no-shortcuts"_s
                             << u"shortcuts.unregisterAll"_s;
    QTest::newRow("disable twice") << u"beta no-shortcuts"_s << false << u"beta no-shortcuts"_s
                                   << u"shortcuts.unregisterAll"_s;
    QTest::newRow("enable") << u"no-shortcuts beta|no-shortcuts no-cdn"_s << true << u"beta no-cdn"_s
                            << u"shortcuts.register"_s;
    QTest::newRow("enable with no flags")
        << u"no-shortcuts"_s << true << QString() << u"shortcuts.register"_s;
}

void SettingsSyncTest::shortcutFlagsAreRewritten()
{
    QFETCH(QString, flags);
    QFETCH(bool, enabled);
    QFETCH(QString, sent);
    QFETCH(QString, shortcutCall);

    ModelHarness h;
    const QString token = h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, false);
    h.sandbox.call("PUT", u"users"_s, token, {{u"user"_s, QJsonObject{{u"flags"_s, flags}}}});
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());
    h.sandbox.clearRequests();
    h.journal.clear();

    QVERIFY(!runTask(h.settings().setShortcutsEnabled(enabled)));

    QCOMPARE(bodyOf(h.apiRequests().first()), (QJsonObject{{u"user"_s, QJsonObject{{u"flags"_s, sent}}}}));
    QCOMPARE(model.account().user()->flags, sent);
    QCOMPARE(h.journal.calls().first(), shortcutCall);
}

void SettingsSyncTest::serverLoginItemChoiceIsAdopted_data()
{
    QTest::addColumn<std::optional<QString>>("value");
    QTest::addColumn<std::optional<QString>>("seen");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<bool>("consent");
    QTest::addColumn<bool>("registeredAfter");
    QTest::addColumn<std::optional<QString>>("seenAfter");
    QTest::addColumn<QString>("logLine");

    const std::optional<QString> yes = u"yes"_s;
    const std::optional<QString> no = u"no"_s;
    const std::optional<QString> none;
    const QString off = u"show_startup no (from another app): login item off"_s;
    const QString on = u"show_startup yes (from another app): login item on"_s;
    QTest::newRow("no, registered") << no << none << true << false << false << no << off;
    QTest::newRow("no, not registered") << no << yes << false << true << false << no << QString();
    QTest::newRow("yes, registered") << yes << no << true << false << true << yes << QString();
    QTest::newRow("yes, no consent") << yes << none << false << false << false << yes << QString();
    QTest::newRow("yes, consent") << yes << no << false << true << true << yes << on;
    QTest::newRow("already seen") << yes << yes << false << true << false << yes << QString();
    QTest::newRow("other text") << std::optional<QString>(u"maybe"_s) << none << true << true << true << none
                                << QString();
    QTest::newRow("absent") << none << no << true << true << true << no << QString();
}

void SettingsSyncTest::serverLoginItemChoiceIsAdopted()
{
    QFETCH(std::optional<QString>, value);
    QFETCH(std::optional<QString>, seen);
    QFETCH(bool, registered);
    QFETCH(bool, consent);
    QFETCH(bool, registeredAfter);
    QFETCH(std::optional<QString>, seenAfter);
    QFETCH(QString, logLine);

    ModelHarness h;
    QCOMPARE(h.autostart.setEnabled(registered), std::nullopt);
    if (seen)
        h.defaults.setValue(keys::showStartupSeen, *seen);
    if (consent)
        h.defaults.setValue(keys::loginItemConsent, true);

    holdUser(h.model(), value);

    QCOMPARE(h.autostart.isEnabled(), registeredAfter);
    QCOMPARE(h.defaults.stringValue(keys::showStartupSeen), seenAfter);
    const QStringList log = h.appLogLines();
    QCOMPARE(log.count(u"show_startup no (from another app): login item off"_s) +
                 log.count(u"show_startup yes (from another app): login item on"_s),
             logLine.isEmpty() ? 0 : 1);
    if (!logLine.isEmpty())
        QVERIFY(log.contains(logLine));
}

void SettingsSyncTest::launchRecordsConsentOnlyWhileEnabled_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("autostart on") << true;
    QTest::newRow("autostart off") << false;
}

void SettingsSyncTest::launchRecordsConsentOnlyWhileEnabled()
{
    QFETCH(bool, enabled);
    ModelHarness h;
    h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, true);
    QCOMPARE(h.autostart.setEnabled(enabled), std::nullopt);

    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());

    QCOMPARE(h.defaults.boolValue(keys::loginItemConsent), enabled ? std::optional(true) : std::nullopt);
    // The demo account says "yes" (chosen on another computer): autostart comes on only where the
    // user agreed to it here before.
    QCOMPARE(h.defaults.stringValue(keys::showStartupSeen), u"yes"_s);
    QCOMPARE(h.autostart.isEnabled(), enabled);
}

void SettingsSyncTest::launchAtLoginSwitch_data()
{
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("requests");

    QTest::newRow("off, server said yes") << true << false << QStringList{u"PUT /users"_s};
    QTest::newRow("on, server says yes already") << true << true << QStringList();
    QTest::newRow("on, signed out") << false << true << QStringList();
}

void SettingsSyncTest::launchAtLoginSwitch()
{
    QFETCH(bool, signedIn);
    QFETCH(bool, enabled);
    QFETCH(QStringList, requests);

    ModelHarness h;
    AppModel& model = h.model();
    if (signedIn)
        h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, true);
    model.launch();
    QVERIFY(h.settle());
    h.sandbox.clearRequests();
    h.journal.clear();
    model.setAskLoginItem(true);

    h.settings().answerLoginItem(enabled);
    QVERIFY(h.settle());

    QVERIFY(!model.askLoginItem());
    QCOMPARE(h.defaults.boolValue(keys::askedLoginItem), true);
    QCOMPARE(h.autostart.isEnabled(), enabled);
    QCOMPARE(h.defaults.boolValue(keys::loginItemConsent), enabled ? std::optional(true) : std::nullopt);
    const QString value = enabled ? u"yes"_s : u"no"_s;
    QCOMPARE(h.defaults.stringValue(keys::showStartupSeen), value);
    QCOMPARE(h.requestLines(), requests);
    if (!requests.isEmpty()) {
        QCOMPARE(bodyOf(h.apiRequests().first()),
                 (QJsonObject{{u"user"_s, QJsonObject{{u"show_startup"_s, value}}}}));
        QCOMPARE(model.account().user()->showStartup, value);
        QCOMPARE(h.journal.count(u"events.track(settings-changed,setting=application)"_s), 1);
        // The server's echo of our own choice is not adopted a second time.
        QCOMPARE(h.autostart.isEnabled(), enabled);
    }
}

void SettingsSyncTest::failedLoginItemChangeIsLogged_data()
{
    QTest::addColumn<bool>("fromServer");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("reason");

    // A file where the autostart folder belongs, or a folder where the entry belongs: in the way
    // for root too.
    QTest::newRow("switched on, no autostart folder") << false << true << u"can't create the folder"_s;
    QTest::newRow("switched off, entry can't go") << false << false << u"can't remove"_s;
    QTest::newRow("server's yes, no autostart folder") << true << true << u"can't create the folder"_s;
}

void SettingsSyncTest::failedLoginItemChangeIsLogged()
{
    QFETCH(bool, fromServer);
    QFETCH(bool, enabled);
    QFETCH(QString, reason);

    ModelHarness h;
    const QString entry = lumi::Paths::autostartFile();
    const QFileInfo info(entry);
    if (enabled) {
        QVERIFY(QDir().mkpath(QFileInfo(info.absolutePath()).absolutePath()));
        QFile blocker(info.absolutePath());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(entry + u"/inside"_s));
    }
    h.model().launch();
    QVERIFY(h.settle());

    if (fromServer) {
        h.defaults.setValue(keys::loginItemConsent, true);
        holdUser(h.model(), u"yes"_s);
    } else {
        h.settings().answerLoginItem(enabled);
    }
    QVERIFY(h.settle());

    QVERIFY(!h.autostart.isEnabled());
    // The choice is kept all the same.
    QCOMPARE(h.defaults.stringValue(keys::showStartupSeen), enabled ? u"yes"_s : u"no"_s);
    const QString prefix = u"login item %1 failed: "_s.arg(enabled ? u"on"_s : u"off"_s);
    const QStringList log = h.appLogLines();
    const auto failure = std::find_if(log.cbegin(), log.cend(), [&](const QString& line) {
        return line.contains(prefix + reason) && line.contains(entry);
    });
    QVERIFY2(failure != log.cend(), qPrintable(log.join(u'\n')));
}

QTEST_MAIN(SettingsSyncTest)
#include "SettingsSyncTest.moc"
