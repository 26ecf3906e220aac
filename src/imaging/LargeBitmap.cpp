#include "imaging/LargeBitmap.h"

#include <sys/mman.h>

#include <cstdint>

namespace lumi {

namespace {

constexpr qsizetype hugePage = qsizetype(2) << 20;

struct Mapping
{
    void* address;
    std::size_t length;
};

void unmap(void* info)
{
    const auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->address, mapping->length);
    delete mapping;
}

} // namespace

QImage LargeBitmap::create(QSize size, QImage::Format format)
{
    if (size.isEmpty() || format == QImage::Format_Invalid)
        return QImage(size, format);
    // QImage's own row length: whole 32-bit words.
    const qsizetype bytesPerLine =
        (qsizetype(size.width()) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
    const qsizetype bytes = bytesPerLine * size.height();
    if (bytes < hugePage)
        return QImage(size, format);

    // One huge page more than needed, so that the pixels can start on a huge page boundary; the
    // slack is never touched and never resident.
    const std::size_t length = std::size_t(bytes + hugePage);
    void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return QImage(size, format);
    const auto start =
        (reinterpret_cast<std::uintptr_t>(address) + hugePage - 1) & ~std::uintptr_t(hugePage - 1);
    auto* pixels = reinterpret_cast<uchar*>(start);
    // Refused where the kernel has no transparent huge pages: the mapping then works in small ones.
    madvise(pixels, std::size_t(bytes), MADV_HUGEPAGE);
    auto* mapping = new Mapping{address, length};
    QImage image(pixels, size.width(), size.height(), bytesPerLine, format, unmap, mapping);
    if (image.isNull())
        unmap(mapping);
    return image;
}

} // namespace lumi
