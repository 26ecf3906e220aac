#include "library/PhotoPlacer.h"

#include "library/FileIdentity.h"
#include "library/LibraryFiles.h"

#include <QFileInfo>

namespace lumi {

PhotoPlacer::Outcome PhotoPlacer::place(const QString& source, const QString& folder)
{
    const QString destination = folder + u'/' + QFileInfo(source).fileName();
    const std::optional<FileIdentity> sourceFile = FileIdentity::of(source);
    if (sourceFile && FileIdentity::of(destination) == sourceFile)
        return Outcome::alreadyThere;
    if (!sourceFile) {
        LibraryFiles::removeFileOrLink(destination);
        return Outcome::failed;
    }
    if (LibraryFiles::linkInto(source, destination))
        return Outcome::linked;
    if (LibraryFiles::copyInto(source, destination))
        return Outcome::copied;
    return Outcome::failed;
}

} // namespace lumi
