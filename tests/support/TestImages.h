#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

namespace lumi::test {

/// An opaque image of one colour.
QImage solidImage(QSize size, const QColor& color);
/// The image as a JPEG file's bytes.
QByteArray jpegOf(const QImage& image, int quality = 95);
/// The image as a PNG file's bytes.
QByteArray pngOf(const QImage& image);
/// The JPEG with an EXIF block (APP1, big-endian TIFF) holding only the orientation tag, placed
/// right after the start-of-image marker as cameras write it.
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);

} // namespace lumi::test
