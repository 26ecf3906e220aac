#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace lumi {

/// Decodes a picture just large enough to cover a size, never enlarged: a 5K photo shown in a
/// small frame never sits in memory whole. Safe on any thread; a null image when nothing decodes.
class PictureDecode final
{
public:
    PictureDecode() = delete;

    static QImage file(const QString& path, QSize cover);
    /// A downloaded body; a JPEG cut short (no end-of-image mark) counts as no picture, since it
    /// would decode with grey below the cut.
    static QImage body(QByteArray body, QSize cover);
};

} // namespace lumi
