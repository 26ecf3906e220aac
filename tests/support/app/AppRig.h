#pragma once

#include "app/Application.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/SessionTokenFile.h"
#include "support/SandboxFixture.h"
#include "support/app/FixedSystemTray.h"
#include "support/app/RecordingSingleInstance.h"
#include "support/services/RecordingCrashHandlers.h"
#include "support/services/RecordingOlderAppMigration.h"
#include "support/services/RecordingSoftwareUpdates.h"
#include "support/state/CallJournal.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace lumi::test {

/// The composed application as `main` builds it, with the parts of the start-up that need a real
/// desktop recorded instead: the single-instance lock, the tray host, the crash handlers, the
/// take-over of the older app and the update checks. The rest is the app's own wiring.
class AppRig final
{
public:
    struct Options
    {
        bool autostart = false;
        bool tray = true;
        bool anotherCopyRuns = false;
        /// None: the system's clock.
        std::unique_ptr<Clock> clock;
    };

    explicit AppRig(CallJournal& journal) : m_journal(journal) {}

    /// What an earlier run left: the demo account's session token and its cached user.
    static bool leaveSession(SandboxFixture& sandbox)
    {
        const QString token = sandbox.signInToken();
        if (token.isEmpty() || !SessionTokenFile::save(token))
            return false;
        const QJsonObject user =
            sandbox.call("GET", QStringLiteral("users"), token).json()[QStringLiteral("user")].toObject();
        Defaults::shared().setValue(keys::user, QJsonDocument(user).toJson(QJsonDocument::Compact));
        return !user.isEmpty();
    }

    /// A new application, not started yet.
    Application& make(Options options)
    {
        auto singleInstance = std::make_unique<RecordingSingleInstance>(m_journal, options.anotherCopyRuns);
        auto updates = std::make_unique<RecordingSoftwareUpdates>(m_journal);
        auto olderApp = std::make_unique<RecordingOlderAppMigration>(m_journal);
        singleInstanceLock = singleInstance.get();
        softwareUpdates = updates.get();
        olderAppMigration = olderApp.get();
        app = std::make_unique<Application>(
            Application::Options{.autostart = options.autostart},
            StartupServices{
                .singleInstance = std::move(singleInstance),
                .systemTray = std::make_unique<FixedSystemTray>(options.tray),
                .crashHandlers = std::make_unique<RecordingCrashHandlers>(m_journal),
                .olderApp = std::move(olderApp),
                .updates = std::move(updates),
                .clock = std::move(options.clock),
            });
        return *app;
    }

    std::unique_ptr<Application> app;
    RecordingSingleInstance* singleInstanceLock = nullptr;
    RecordingSoftwareUpdates* softwareUpdates = nullptr;
    RecordingOlderAppMigration* olderAppMigration = nullptr;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
