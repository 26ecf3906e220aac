#include "library/LibraryLayout.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace lumi {

LibraryLayout LibraryLayout::at(const QString& base)
{
    const QString clean = QDir::cleanPath(base);
    const QString app = clean + u'/' + appFolderName;
    return LibraryLayout{clean, clean + u'/' + playlistFolderName, app + u"/Lumivale Wallpaper"_s,
                         app + u"/Lumivale ScreenSaver"_s, app + u"/images"_s};
}

} // namespace lumi
