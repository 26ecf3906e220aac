#pragma once

#include <QString>
#include <QUrl>

namespace lumi {

/// What one look at the update feed found.
struct UpdateCheck
{
    enum class Outcome {
        newer,    ///< a version above the running one: `version`, `downloadPage`, `releaseNotes`
        upToDate, ///< nothing newer than the running version
        failed    ///< the feed could not be loaded or read, or offered an unsafe link: `error`
    };

    Outcome outcome = Outcome::failed;
    QString version;
    QUrl downloadPage;
    QString releaseNotes;
    QString error;
};

} // namespace lumi
