#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace lumi {

/// Reads a picture so that it covers an area exactly: scaled proportionally and cropped to the
/// area's aspect around the centre, the way the desktop would fill a screen with it. Safe to call
/// off the main thread.
class CoverImage final
{
public:
    CoverImage() = delete;

    /// The picture at path at exactly target size (QImage::Format_RGB32). A larger picture is
    /// decoded near the target size. Null with *error set when the file cannot be read.
    static QImage load(const QString& path, QSize target, QString* error);

    /// The centred part of a picture of size source that has target's aspect.
    static QRect sourceRect(QSize source, QSize target);
};

} // namespace lumi
