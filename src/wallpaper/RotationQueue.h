#pragma once

#include "model/Medium.h"

#include <QList>

#include <optional>

class QRandomGenerator;

namespace lumi {

/// The photos still to be shown before the pool is drawn from again. Refilled from the pool in
/// title order, carrying on after the photo now showing, or shuffled without putting the photo now
/// showing first; refilled at once when asked in the other order than it was filled in, so a
/// changed shuffle setting shows at the next change. Photos are told apart by uuid.
class RotationQueue final
{
public:
    /// random must outlive the queue; the system's source when none is given.
    explicit RotationQueue(QRandomGenerator* random = nullptr);

    /// The pool sorted by display title (locale-aware, ignoring case, stable), rotated so that it
    /// starts after the photo showing and ends with it.
    static QList<Medium> titleOrder(const QList<Medium>& pool, const std::optional<Medium>& showing);
    /// The pool in a uniformly random order; the photo showing, when it comes first, goes last.
    static QList<Medium> shuffled(QList<Medium> pool, const std::optional<Medium>& showing,
                                  QRandomGenerator& random);

    /// Takes the front photo, refilling from the pool first when the queue is empty or was filled
    /// in the other order; none when the pool is empty too.
    std::optional<Medium> next(const QList<Medium>& pool, const std::optional<Medium>& showing, bool shuffle);
    void clear() { m_photos.clear(); }
    const QList<Medium>& photos() const { return m_photos; }

private:
    QRandomGenerator* m_random;
    QList<Medium> m_photos;
    bool m_shuffled = false;
};

} // namespace lumi
