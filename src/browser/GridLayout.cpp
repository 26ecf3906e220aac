#include "browser/GridLayout.h"

#include <algorithm>
#include <cmath>

namespace lumi {

GridLayout GridLayout::fit(std::optional<int> fixedColumns, int width)
{
    const qreal available = std::max(0, width - 2 * padding);
    GridLayout layout;
    if (fixedColumns) {
        layout.columns = std::max(1, *fixedColumns);
        layout.tileWidth =
            std::max<qreal>(narrowestFixed, (available - (layout.columns - 1) * columnGap) / layout.columns);
        return layout;
    }
    layout.columns = std::max(1, int(std::floor((available + columnGap) / (narrowestAuto + columnGap))));
    layout.tileWidth =
        std::min<qreal>((available - (layout.columns - 1) * columnGap) / layout.columns, widestAuto);
    const qreal used = layout.columns * layout.tileWidth + (layout.columns - 1) * columnGap;
    layout.left = padding + std::max<qreal>(0, (available - used) / 2);
    return layout;
}

int GridLayout::rows(qsizetype count) const
{
    return int((count + columns - 1) / columns);
}

QRect GridLayout::tile(qsizetype index, int tileHeight) const
{
    const int row = int(index / columns);
    const int column = int(index % columns);
    const qreal x = left + column * (tileWidth + columnGap);
    return QRect(int(std::round(x)), padding + row * (tileHeight + rowGap),
                 int(std::round(x + tileWidth)) - int(std::round(x)), tileHeight);
}

int GridLayout::contentHeight(qsizetype count, int tileHeight) const
{
    const int n = rows(count);
    return 2 * padding + (n > 0 ? n * tileHeight + (n - 1) * rowGap : 0);
}

std::pair<int, int> GridLayout::rowsBetween(int top, int bottom, qsizetype count, int tileHeight) const
{
    const int pitch = tileHeight + rowGap;
    const int first = std::max(0, (top - padding) / pitch);
    const int last = std::min(rows(count) - 1, std::max(0, (bottom - padding) / pitch));
    return {first, last};
}

} // namespace lumi
