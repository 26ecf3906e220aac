#include "platform/Screens.h"

using namespace Qt::StringLiterals;

namespace lumi {

QString Screens::resolution() const
{
    const QList<DisplayInfo> all = displays();
    if (all.isEmpty())
        return {};
    const QSize size = all.first().pixelSize;
    return QString::number(size.width()) + u'x' + QString::number(size.height());
}

} // namespace lumi
