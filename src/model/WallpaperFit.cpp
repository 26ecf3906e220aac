#include "model/WallpaperFit.h"

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<WallpaperFit> WallpaperFit::fromValue(QStringView value)
{
    if (value == u"fit")
        return fit;
    if (value == u"fill")
        return fill;
    return std::nullopt;
}

QString WallpaperFit::value() const
{
    return m_case == fit ? u"fit"_s : u"fill"_s;
}

} // namespace lumi
