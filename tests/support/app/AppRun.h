#pragma once

#include "app/MainWindow.h"
#include "app/MainWindowController.h"
#include "browser/BrowserView.h"
#include "state/AppModel.h"
#include "support/SandboxFixture.h"
#include "support/app/AppRig.h"
#include "support/state/CallJournal.h"

#include <QApplication>
#include <QJsonArray>
#include <QTest>

namespace lumi::test {

/// The composed application on a sandbox of its own, as a user meets it after an earlier run left
/// the demo account signed in, built by `AppRig`. A test file that uses it includes "app/Application.h"
/// itself, so it links the root.
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
        if (!stored.isEmpty())
            sandbox.call("PUT", QStringLiteral("users"), sandbox.signInToken(),
                         {{QStringLiteral("user"), stored}});
        if (!AppRig::leaveSession(sandbox))
            return false;
        m_app = &m_rig.make({});
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
    AppRig m_rig{journal};
    Application* m_app = nullptr;
};

} // namespace lumi::test
