#include "platform/linux/DesktopLinkOpener.h"

#include <QDesktopServices>

namespace lumi {

bool DesktopLinkOpener::open(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace lumi
