#pragma once

#include "model/AppLog.h"
#include "services/OlderAppMigration.h"

#include <QStringList>
#include <QVariantMap>

#include <chrono>
#include <memory>

namespace lumi {

class Clock;
class Defaults;
class FileRevealer;
class OlderAppProcesses;
class Trash;

/// Takes over from the older Electron app: quits its running copies, moves its installed copies
/// to the trash (at most three tries over as many launches) and carries its sign-in and settings
/// over once. What it remembers lives in the settings store; the "desktop-replaced" event reports
/// it later.
class ElectronMigration final : public OlderAppMigration
{
public:
    struct Services
    {
        Defaults& defaults;
        std::unique_ptr<Clock> clock;
        std::unique_ptr<OlderAppProcesses> processes;
        std::unique_ptr<Trash> trash;
        std::unique_ptr<FileRevealer> revealer;
        /// This program, or the AppImage it runs from: where it is installed decides whether it
        /// may take over.
        QString executable;
        /// The system's interface languages, first first: the older app's language is carried only
        /// when it differs.
        QStringList preferredLanguages;
        /// How long running copies get to quit before they are killed.
        std::chrono::milliseconds quitTimeout = std::chrono::seconds(10);
    };

    explicit ElectronMigration(Services services);
    ~ElectronMigration() override;

    QCoro::Task<void> takeOver() override;
    void carryOverSettings() override;
    bool oldAppLeftInPlace() const override { return m_leftInPlace; }
    bool isOldAppRunning() const override;
    void revealOldApp() override;

    /// Sets keys of the pending "desktop-replaced" record, keeping the others.
    static void mergePending(Defaults& defaults, const QVariantMap& values);

private:
    QStringList copies() const;
    int trashLeftovers();
    void moveSettingsAside(const QString& folder);

    Services m_services;
    AppLog m_log;
    bool m_leftInPlace = false;
};

} // namespace lumi
