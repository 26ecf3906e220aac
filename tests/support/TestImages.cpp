#include "support/TestImages.h"

#include <QBuffer>

namespace lumi::test {

namespace {

QByteArray encoded(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

void appendBigEndian16(QByteArray& bytes, quint16 value)
{
    bytes.append(char(value >> 8));
    bytes.append(char(value & 0xff));
}

void appendBigEndian32(QByteArray& bytes, quint32 value)
{
    appendBigEndian16(bytes, quint16(value >> 16));
    appendBigEndian16(bytes, quint16(value & 0xffff));
}

} // namespace

QImage solidImage(QSize size, const QColor& color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray jpegOf(const QImage& image, int quality)
{
    return encoded(image, "JPEG", quality);
}

QByteArray pngOf(const QImage& image)
{
    return encoded(image, "PNG", -1);
}

QByteArray withExifOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray tiff("MM", 2);
    appendBigEndian16(tiff, 42);
    appendBigEndian32(tiff, 8);      // IFD0 right after the header
    appendBigEndian16(tiff, 1);      // one entry
    appendBigEndian16(tiff, 0x0112); // Orientation
    appendBigEndian16(tiff, 3);      // SHORT
    appendBigEndian32(tiff, 1);      // one value, left-aligned in the value field
    appendBigEndian16(tiff, quint16(orientation));
    appendBigEndian16(tiff, 0);
    appendBigEndian32(tiff, 0); // no next IFD

    QByteArray segment("\xFF\xE1", 2);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    appendBigEndian16(segment, quint16(payload.size() + 2));
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

} // namespace lumi::test
