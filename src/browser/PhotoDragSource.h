#pragma once

#include "model/Medium.h"

#include <QImage>
#include <QList>

class QWidget;

namespace lumi {

/// Drags photos out of the grid onto playlist rows: the photos travel as one PhotoDrag, under the
/// pointer a 160×90 rounded picture with a count badge once there are two or more.
class PhotoDragSource final
{
public:
    PhotoDragSource() = delete;

    static constexpr QSize previewSize{160, 90};

    /// The picture under the pointer, at the device pixel ratio given; a null thumb is drawn gray.
    static QImage preview(const QImage& thumb, qsizetype count, qreal ratio);
    /// Runs the copy drag from source (Qt's drag loop runs until the drop); nothing for no photos.
    static void start(QWidget* source, const QList<Medium>& photos, const QImage& thumb);
};

} // namespace lumi
