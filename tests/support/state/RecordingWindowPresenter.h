#pragma once

#include "state/WindowPresenter.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the main window controller, which is not built yet.
class RecordingWindowPresenter final : public WindowPresenter
{
public:
    explicit RecordingWindowPresenter(CallJournal& journal) : m_journal(journal) {}

    void showMainWindow() override { m_journal.record(QStringLiteral("window.show")); }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
