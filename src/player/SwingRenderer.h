#pragma once

#include <QImage>
#include <QRect>
#include <QTransform>

#include <vector>

class QPainter;
class QRegion;

namespace lumi {

/// Draws a picture through a map that keeps its columns upright, filtered like QPainter's smooth
/// pixmap transform: a turn about a vertical axis seen in perspective (the reflections' swing) or,
/// turned by nothing, a scale and shift (the panner's zoom and drift). Each column of the area
/// then shows a single column of the picture, stretched by a factor of its own, so the divide
/// per pixel of a general projective resample becomes one per column, and bands of rows go to
/// all the cores. Into a raster image the rows are written straight, skipping what the picture
/// leaves empty; another device gets them through a buffer kept across frames.
class SwingRenderer final
{
public:
    /// What lies under the picture.
    enum class Backdrop {
        /// Whatever the area shows: the picture is blended over it.
        anything,
        /// Black, as under an effect's first layer: every pixel of the area is written, black
        /// or the picture over black, with no need to clear the area first or blend.
        black,
    };

    /// Draws `image` (premultiplied ARGB32 or RGB32) through `transform`, which must turn about a
    /// vertical axis only (no shear, no depth that varies with y), clipped to `area`. The
    /// transform maps the image's own units (pixels over its device pixel ratio) to the
    /// painter's; the turn is resampled at the painter's device pixels.
    void draw(QPainter& painter, const QImage& image, const QTransform& transform, QSizeF area,
              Backdrop backdrop = Backdrop::anything);

private:
    struct Column
    {
        alignas(16) quint16 across[8] = {}; // the weights of the left and right source pixels, per channel
        int left = 0;                       // the source column to the left
        int right = 0;                      // pixels from left to the other source column
        int firstRow = 0;                   // the target rows it covers
        int endRow = 0;
        qint64 v = 0; // source row at the first target row, 16.16
        qint64 step = 0;
    };
    struct Pass;

    /// Writes the rows of `clip` (target pixels) that `transform` (image pixels to target
    /// pixels) covers.
    void resample(uchar* bits, qsizetype bytesPerLine, const QRegion& clip, const QImage& image,
                  const QTransform& transform, int opacity, Backdrop backdrop);
    static void scaledRows(Pass pass, const QRect& band);
    static void turnedRows(Pass pass, const QRect& band);

    QImage m_buffer;
    std::vector<Column> m_columns;
    std::vector<QRect> m_bands;
};

} // namespace lumi
