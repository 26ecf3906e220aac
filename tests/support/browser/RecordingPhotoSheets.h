#pragma once

#include "browser/PhotoSheets.h"

#include <QStringList>

namespace lumi::test {

/// Stands in for the displays and share sheets, which are other windows' business: records each
/// opening and keeps its callback for the test to answer.
class RecordingPhotoSheets final : public PhotoSheets
{
public:
    void chooseDisplays(QWidget*, std::function<void(QList<DisplayInfo>)> commit) override
    {
        opened.append(QStringLiteral("displays"));
        commitDisplays = std::move(commit);
    }
    void share(QWidget*, Medium photo, std::function<void(QString)> done) override
    {
        opened.append(QStringLiteral("share ") + photo.uuid);
        sent = std::move(done);
    }

    QStringList opened;
    std::function<void(QList<DisplayInfo>)> commitDisplays;
    std::function<void(QString)> sent;
};

} // namespace lumi::test
