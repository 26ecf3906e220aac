#pragma once

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/MainWindowController.h"
#include "browser/BrowserView.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/SessionTokenFile.h"
#include "state/AppModel.h"
#include "support/SandboxFixture.h"
#include "support/app/FixedSystemTray.h"
#include "support/app/RecordingSingleInstance.h"
#include "support/services/RecordingCrashHandlers.h"
#include "support/services/RecordingOlderAppMigration.h"
#include "support/services/RecordingSoftwareUpdates.h"
#include "support/state/CallJournal.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <memory>

namespace lumi::test {

/// The composed application on a sandbox of its own, as a user meets it after an earlier run left
/// the demo account signed in: the real root wiring, with recording stand-ins only for what the
/// start-up sequence asks of the machine (the single-instance lock, the tray, crash handlers, the
/// older app, updates). A test file that uses it includes "app/Application.h" itself, so it links
/// the root.
class AppRun final
{
public:
    AppRun() = default;
    ~AppRun() = default;
    AppRun(const AppRun&) = delete;
    AppRun& operator=(const AppRun&) = delete;

    /// Leaves the demo account's session, with these settings stored first, and starts; true once
    /// the window shows the browser and the playlists.
    bool startSignedIn(const QJsonObject& stored = {})
    {
        const QString token = sandbox.signInToken();
        if (token.isEmpty() || !SessionTokenFile::save(token))
            return false;
        if (!stored.isEmpty())
            sandbox.call("PUT", QStringLiteral("users"), token, {{QStringLiteral("user"), stored}});
        const QJsonObject user =
            sandbox.call("GET", QStringLiteral("users"), token).json()[QStringLiteral("user")].toObject();
        Defaults::shared().setValue(keys::user, QJsonDocument(user).toJson(QJsonDocument::Compact));
        m_app = std::make_unique<Application>(
            Application::Options{}, StartupServices{
                                        .singleInstance = std::make_unique<RecordingSingleInstance>(journal),
                                        .systemTray = std::make_unique<FixedSystemTray>(true),
                                        .crashHandlers = std::make_unique<RecordingCrashHandlers>(journal),
                                        .olderApp = std::make_unique<RecordingOlderAppMigration>(journal),
                                        .updates = std::make_unique<RecordingSoftwareUpdates>(journal),
                                    });
        if (m_app->start() != Application::Start::running)
            return false;
        // The playlists are there once the albums arrived.
        return QTest::qWaitFor([this] {
            return browser() && window().isActiveWindow() && !m_app->model()->account().albums().isEmpty();
        });
    }

    /// Waits for the work under way (the model counts it), so nothing outlives the sandbox.
    bool settle() const
    {
        return !m_app || !m_app->model() ||
               QTest::qWaitFor([this] { return m_app->model()->runningTasks() == 0; });
    }

    Application& app() const { return *m_app; }
    MainWindow& window() const { return *m_app->mainWindow()->window(); }
    /// None while the window shows something else.
    BrowserView* browser() const
    {
        const MainWindowController* controller = m_app->mainWindow();
        return controller && controller->window()
                   ? qobject_cast<BrowserView*>(controller->window()->content())
                   : nullptr;
    }

    /// The visible widget of that name and type in any window of the app.
    template <typename T = QWidget> static T* find(const QString& name)
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            const QList<T*> found = top->findChildren<T*>(name);
            for (T* widget : found) {
                if (widget->isVisible())
                    return widget;
            }
        }
        return nullptr;
    }

    /// The API requests the sandbox received with this method and path below the API's base.
    QJsonArray received(const QString& method, const QString& path)
    {
        const QString wanted = sandbox.baseUrl().path() + QLatin1Char('/') + path;
        QJsonArray kept;
        for (const QJsonValue& entry : sandbox.requests()) {
            if (entry[QStringLiteral("method")] == method && entry[QStringLiteral("path")] == wanted)
                kept.append(entry);
        }
        return kept;
    }

    SandboxFixture sandbox;
    CallJournal journal;

private:
    std::unique_ptr<Application> m_app;
};

} // namespace lumi::test
