#pragma once

#include <QImage>
#include <QTransform>

#include <vector>

class QPainter;

namespace lumi {

/// Draws a picture turned about a vertical axis and seen in perspective, filtered like
/// QPainter's smooth pixmap transform: under such a turn each column of the area shows a single
/// column of the picture, stretched by a factor of its own, so the divide per pixel of a general
/// projective resample becomes one per column, and bands of rows go to all the cores. The
/// picture is resampled into a buffer kept across frames and composited from there.
class SwingRenderer final
{
public:
    /// Draws `image` (premultiplied ARGB32) through `transform`, which must turn about a
    /// vertical axis only (no shear, no depth that varies with y), clipped to `area`. The
    /// transform maps the image's own units (pixels over its device pixel ratio) to the
    /// painter's; the turn is resampled at the painter's device pixels.
    void draw(QPainter& painter, const QImage& image, const QTransform& transform, QSizeF area);

private:
    struct Column
    {
        const quint32* left = nullptr; // the left of its two source columns, in row 0
        int right = 0;                 // pixels from left to the other source column
        int weight = 0;                // of the right column, 0 to 256
        int firstRow = 0;
        int endRow = 0;
        qint32 v = 0; // source row at the buffer's first row, 16.16
        qint32 step = 0;
    };

    QImage m_buffer;
    std::vector<Column> m_columns;
    std::vector<int> m_bands;
};

} // namespace lumi
