#pragma once

#include "player/PhotoImage.h"
#include "player/PhotoTitle.h"
#include "player/ShownPhoto.h"

class QPainter;

namespace lumi {

/// A photo filling or fitted into its area with, when titles are on, its caption over it.
class CaptionedPhoto final
{
public:
    CaptionedPhoto(const ShownPhoto& photo, bool crop, bool showTitle);

    void paint(QPainter& painter, const QRectF& area);

private:
    PhotoImage m_image;
    std::optional<PhotoTitle> m_title;
    bool m_crop;
};

} // namespace lumi
