#pragma once

#include <QByteArray>
#include <QString>

namespace lumi::sandbox {

// Draws a catalog photo at any size: a landscape of sky, sun and ridges whose colours and shapes
// come from the photo's uuid, with a small label (title, size, uuid) in the top-right corner so
// that people can tell photos apart without it competing with the texts the app draws.
// Every variant holds at least 64 KiB, the size below which the app treats a download
// as broken. Deterministic, and safe to run on worker threads.
class PhotoRenderer final
{
public:
    static constexpr qsizetype minimumBytes = 65536;

    static QByteArray renderJpeg(const QString& uuid, const QString& title, int width, int height);
};

} // namespace lumi::sandbox
