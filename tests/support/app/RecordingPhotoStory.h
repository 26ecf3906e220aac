#pragma once

#include "sheets/PhotoStoryPresenter.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the photo-story window, which is not built yet: records "story.show(<uuid>)".
class RecordingPhotoStory final : public PhotoStoryPresenter
{
public:
    explicit RecordingPhotoStory(CallJournal& journal) : m_journal(journal) {}

    void showStory(const Medium& photo) override
    {
        m_journal.record(QStringLiteral("story.show(%1)").arg(photo.uuid));
    }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
