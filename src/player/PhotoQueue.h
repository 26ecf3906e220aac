#pragma once

#include "model/Medium.h"

#include <QList>

#include <optional>

class QRandomGenerator;

namespace lumi {

/// The play order of one player window: the photos in the caller's order or shuffled with the
/// start photo first, and the place reached. Stepping wraps at both ends, so play never runs out;
/// a shuffled order repeats unchanged on every pass.
class PhotoQueue final
{
public:
    PhotoQueue() = default;
    /// `start` indexes `media`. In order, an index out of range is clamped to the first or last
    /// photo; shuffled, it leaves the shuffle's own first photo first.
    PhotoQueue(QList<Medium> media, int start, bool shuffle, QRandomGenerator& random);

    /// The photo after the one returned last; none (and no move) when the queue is empty.
    std::optional<Medium> next();
    /// The photo before the one returned last; none (and no move) when the queue is empty.
    std::optional<Medium> previous();

    bool isEmpty() const { return m_order.isEmpty(); }
    /// Indexes into the media in play order.
    const QList<int>& order() const { return m_order; }
    /// The place in the order of the photo returned last; -1 before the first.
    int position() const { return m_position; }

private:
    std::optional<Medium> moveBy(int step);

    QList<Medium> m_media;
    QList<int> m_order;
    int m_position = -1;
};

} // namespace lumi
