#pragma once

#include "services/SoftwareUpdates.h"
#include "support/state/CallJournal.h"

#include <functional>

namespace lumi::test {

/// Stands in for the update checker, which would reach the real feed. onStart lets a test look
/// around at the moment the updates start.
class RecordingSoftwareUpdates final : public SoftwareUpdates
{
public:
    explicit RecordingSoftwareUpdates(CallJournal& journal) : m_journal(journal) {}

    void start() override
    {
        m_journal.record(QStringLiteral("updates.start"));
        if (onStart)
            onStart();
    }
    QCoro::Task<UpdateCheck> checkForUpdates() override
    {
        m_journal.record(QStringLiteral("updates.check"));
        co_return UpdateCheck{.outcome = UpdateCheck::Outcome::upToDate,
                              .version = {},
                              .downloadPage = {},
                              .releaseNotes = {},
                              .error = {}};
    }

    std::function<void()> onStart;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
