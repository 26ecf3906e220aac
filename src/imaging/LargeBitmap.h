#pragma once

#include <QImage>
#include <QSize>

namespace lumi {

/// Screen-sized bitmaps that are cheap to fill the first time. A large QImage is a fresh mapping
/// whose first touch costs a page fault per 4 KiB page, and in a virtual machine that can take
/// several times longer than decoding a 5K photo into it. These live in a mapping of their own that asks for
/// transparent huge pages, one fault per 2 MiB, and go back to the system with the last QImage
/// that shares them, so nothing stays resident once the picture is gone. That holds after a pause
/// as well: memory the system took back is slower to fault in again, but a fresh 8 MiB bitmap
/// still measured about 1 ms in huge pages against 60 to 260 ms in small ones. Safe on any thread.
class LargeBitmap final
{
public:
    LargeBitmap() = delete;

    /// An image of size and format whose pixels are not yet set; a plain QImage when it is too
    /// small to gain or the mapping fails. Null when there is no memory for it.
    static QImage create(QSize size, QImage::Format format);
};

} // namespace lumi
