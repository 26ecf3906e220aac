#include "wallpaper/RotationQueue.h"

#include <QCollator>
#include <QLocale>
#include <QRandomGenerator>

#include <algorithm>

namespace lumi {

RotationQueue::RotationQueue(QRandomGenerator* random)
    : m_random(random ? random : QRandomGenerator::global())
{
}

QList<Medium> RotationQueue::titleOrder(const QList<Medium>& pool, const std::optional<Medium>& showing)
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<Medium> sorted = pool;
    std::stable_sort(sorted.begin(), sorted.end(), [&collator](const Medium& a, const Medium& b) {
        return collator.compare(a.displayTitle(), b.displayTitle()) < 0;
    });
    if (!showing)
        return sorted;
    const auto found = std::find_if(sorted.cbegin(), sorted.cend(),
                                    [&showing](const Medium& photo) { return photo.uuid == showing->uuid; });
    if (found == sorted.cend())
        return sorted;
    const qsizetype at = found - sorted.cbegin();
    return sorted.mid(at + 1) + sorted.first(at + 1);
}

QList<Medium> RotationQueue::shuffled(QList<Medium> pool, const std::optional<Medium>& showing,
                                      QRandomGenerator& random)
{
    // Fisher-Yates.
    for (qsizetype i = pool.size() - 1; i > 0; --i)
        pool.swapItemsAt(i, random.bounded(i + 1));
    if (pool.size() >= 2 && showing && pool.first().uuid == showing->uuid)
        pool.move(0, pool.size() - 1);
    return pool;
}

std::optional<Medium> RotationQueue::next(const QList<Medium>& pool, const std::optional<Medium>& showing,
                                          bool shuffle)
{
    if (m_photos.isEmpty() || shuffle != m_shuffled) {
        m_photos = shuffle ? shuffled(pool, showing, *m_random) : titleOrder(pool, showing);
        m_shuffled = shuffle;
    }
    if (m_photos.isEmpty())
        return std::nullopt;
    return m_photos.takeFirst();
}

} // namespace lumi
