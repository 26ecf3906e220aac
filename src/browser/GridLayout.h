#pragma once

#include <QRect>

#include <optional>

namespace lumi {

/// Where the grid's tiles go for a viewport width: a fixed count of equal columns, or as many
/// columns of 240 to 420 as fit, centred once they reach their widest.
struct GridLayout final
{
    static constexpr int padding = 22;
    static constexpr int columnGap = 20;
    static constexpr int rowGap = 26;
    static constexpr int narrowestAuto = 240;
    static constexpr int widestAuto = 420;
    static constexpr int narrowestFixed = 10;

    int columns = 1;
    qreal tileWidth = 0;
    /// The x of the first column.
    qreal left = padding;

    /// fixedColumns none is the automatic setting.
    static GridLayout fit(std::optional<int> fixedColumns, int width);

    int rows(qsizetype count) const;
    /// The tile of this index, in content coordinates (the content starts at y 0).
    QRect tile(qsizetype index, int tileHeight) const;
    int contentHeight(qsizetype count, int tileHeight) const;
    /// The rows that meet [top, bottom) of the content, clamped to the rows there are.
    std::pair<int, int> rowsBetween(int top, int bottom, qsizetype count, int tileHeight) const;

    bool operator==(const GridLayout&) const = default;
};

} // namespace lumi
