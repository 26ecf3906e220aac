#include "player/PhotoQueue.h"

#include <QRandomGenerator>

#include <algorithm>
#include <numeric>

namespace lumi {

PhotoQueue::PhotoQueue(QList<Medium> media, int start, bool shuffle, QRandomGenerator& random)
    : m_media(std::move(media)), m_order(m_media.size())
{
    const int count = int(m_media.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    if (shuffle) {
        for (int i = 0; i < count - 1; ++i)
            std::swap(m_order[i], m_order[i + int(random.bounded(quint32(count - i)))]);
        const int startPlace = int(m_order.indexOf(start));
        if (startPlace > 0)
            std::swap(m_order[0], m_order[startPlace]);
        return;
    }
    m_position = (count < 2 ? 0 : std::clamp(start, 0, count - 1)) - 1;
}

std::optional<Medium> PhotoQueue::next()
{
    return moveBy(1);
}

std::optional<Medium> PhotoQueue::previous()
{
    return moveBy(-1);
}

std::optional<Medium> PhotoQueue::moveBy(int step)
{
    if (m_order.isEmpty())
        return std::nullopt;
    const int count = int(m_order.size());
    m_position = (m_position + step + count) % count;
    return m_media.at(m_order.at(m_position));
}

} // namespace lumi
