#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

/// Decoded photos by the address they were read from, bounded by count and by bytes; the least
/// recently used goes first.
class ImageCache final
{
public:
    ImageCache(int maxCount, qint64 maxBytes);

    /// The image, now the most recently used; none when not held.
    std::optional<QImage> find(const QString& key);
    /// Holds the image (replacing one under the same key) and evicts down to the bounds. An image
    /// larger than the byte bound alone is not held. Gives back what it let go, so that the caller
    /// chooses the thread that frees it.
    QList<QImage> insert(const QString& key, const QImage& image);
    void clear();

    int count() const { return int(m_entries.size()); }
    qint64 bytes() const { return m_bytes; }

private:
    struct Entry
    {
        QImage image;
        quint64 lastUse;
    };

    QImage evictOldest();

    int m_maxCount;
    qint64 m_maxBytes;
    QHash<QString, Entry> m_entries;
    qint64 m_bytes = 0;
    quint64 m_uses = 0;
};

} // namespace lumi
