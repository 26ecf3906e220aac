#include "library/PhotoPlacer.h"

#include "library/LibraryFiles.h"

#include <QFileInfo>

#include <cerrno>

namespace lumi {

PhotoPlacer::Outcome PhotoPlacer::place(const QString& source, const QString& folder,
                                        std::optional<FileIdentity> sourceFile)
{
    const QString destination = folder + u'/' + QFileInfo(source).fileName();
    // The common case, a photo placed for the first time, costs one link and no look-up.
    const int refusal = LibraryFiles::linkNew(source, destination);
    if (refusal == 0)
        return Outcome::linked;
    if (refusal != EEXIST) {
        // The source is looked up before the destination: a missing one says ENOENT even where a
        // stale entry waits under the name.
        if (refusal == ENOENT) {
            LibraryFiles::removeFileOrLink(destination);
            return Outcome::failed;
        }
        // Another file system, or one without hard links.
        return LibraryFiles::copyInto(source, destination) ? Outcome::copied : Outcome::failed;
    }
    if (!sourceFile)
        sourceFile = FileIdentity::of(source);
    if (!sourceFile) {
        LibraryFiles::removeFileOrLink(destination);
        return Outcome::failed;
    }
    if (FileIdentity::of(destination) == sourceFile)
        return Outcome::alreadyThere;
    if (LibraryFiles::linkInto(source, destination))
        return Outcome::linked;
    if (LibraryFiles::copyInto(source, destination))
        return Outcome::copied;
    return Outcome::failed;
}

} // namespace lumi
