#include "player/ImageCache.h"

namespace lumi {

ImageCache::ImageCache(int maxCount, qint64 maxBytes) : m_maxCount(maxCount), m_maxBytes(maxBytes) {}

std::optional<QImage> ImageCache::find(const QString& key)
{
    const auto found = m_entries.find(key);
    if (found == m_entries.end())
        return std::nullopt;
    found->lastUse = ++m_uses;
    return found->image;
}

QList<QImage> ImageCache::insert(const QString& key, const QImage& image)
{
    if (image.sizeInBytes() > m_maxBytes)
        return {};
    QList<QImage> evicted;
    if (const auto old = m_entries.constFind(key); old != m_entries.cend()) {
        m_bytes -= old->image.sizeInBytes();
        evicted.append(old->image);
        m_entries.erase(old);
    }
    m_entries.insert(key, Entry{image, ++m_uses});
    m_bytes += image.sizeInBytes();
    while (m_entries.size() > m_maxCount || m_bytes > m_maxBytes)
        evicted.append(evictOldest());
    return evicted;
}

void ImageCache::clear()
{
    m_entries.clear();
    m_bytes = 0;
}

QImage ImageCache::evictOldest()
{
    auto oldest = m_entries.begin();
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->lastUse < oldest->lastUse)
            oldest = entry;
    }
    m_bytes -= oldest->image.sizeInBytes();
    QImage image = std::move(oldest->image);
    m_entries.erase(oldest);
    return image;
}

} // namespace lumi
