#include "model/WallpaperFit.h"

#include <QCoreApplication>

#include <array>

namespace lumi {

namespace {

constexpr std::array<ChoiceRow, 2> rows{{
    {u"fill", QT_TRANSLATE_NOOP("WallpaperFit", "Fill (crop the edges)")},
    {u"fit", QT_TRANSLATE_NOOP("WallpaperFit", "Fit (whole photo)")},
}};

} // namespace

const ChoiceTable WallpaperFit::table("WallpaperFit", rows);

} // namespace lumi
