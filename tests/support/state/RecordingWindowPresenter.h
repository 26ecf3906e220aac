#pragma once

#include "state/WindowPresenter.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the main window controller, which is not built yet. Showing makes the window
/// visible; a test hides or minimizes it by clearing visible.
class RecordingWindowPresenter final : public WindowPresenter
{
public:
    explicit RecordingWindowPresenter(CallJournal& journal) : m_journal(journal) {}

    void showMainWindow() override
    {
        m_journal.record(QStringLiteral("window.show"));
        visible = true;
    }
    bool isMainWindowVisible() const override { return visible; }

    bool visible = false;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
