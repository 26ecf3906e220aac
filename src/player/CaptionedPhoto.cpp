#include "player/CaptionedPhoto.h"

namespace lumi {

CaptionedPhoto::CaptionedPhoto(const ShownPhoto& photo, bool crop, bool showTitle)
    : m_image(photo.image), m_crop(crop)
{
    if (showTitle)
        m_title.emplace(photo.medium.displayTitle());
}

void CaptionedPhoto::paint(QPainter& painter, const QRectF& area)
{
    m_image.paint(painter, area, m_crop);
    if (m_title)
        m_title->paint(painter, area);
}

} // namespace lumi
