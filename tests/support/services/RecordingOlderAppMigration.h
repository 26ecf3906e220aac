#pragma once

#include "services/OlderAppMigration.h"
#include "support/state/CallJournal.h"

#include <QCoroSignal>
#include <QTimer>

#include <memory>

namespace lumi::test {

/// Records the start-up's calls into the take-over of the older app, which needs real copies.
class RecordingOlderAppMigration final : public OlderAppMigration
{
public:
    explicit RecordingOlderAppMigration(CallJournal& journal) : m_journal(journal) {}

    QCoro::Task<void> takeOver() override
    {
        m_journal.record(QStringLiteral("olderApp.takeOver"));
        // Held like older copies that take their time to quit, until the test starts the timer.
        if (release)
            co_await qCoro(release.get(), &QTimer::timeout);
    }
    void carryOverSettings() override { m_journal.record(QStringLiteral("olderApp.carryOverSettings")); }
    bool oldAppLeftInPlace() const override { return leftInPlace; }
    bool isOldAppRunning() const override { return oldAppRunning; }
    void revealOldApp() override { m_journal.record(QStringLiteral("olderApp.reveal")); }

    bool oldAppRunning = false;
    bool leftInPlace = false;
    std::unique_ptr<QTimer> release;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
