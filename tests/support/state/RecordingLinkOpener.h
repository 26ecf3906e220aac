#pragma once

#include "platform/LinkOpener.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Keeps links away from a real browser: records them as "links.open(<url>)".
class RecordingLinkOpener final : public LinkOpener
{
public:
    explicit RecordingLinkOpener(CallJournal& journal) : m_journal(journal) {}

    bool open(const QUrl& url) override
    {
        m_journal.record(QStringLiteral("links.open(%1)").arg(url.toString()));
        return true;
    }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
