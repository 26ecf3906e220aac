#pragma once

#include "model/Medium.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace lumi {

/// The marks of a playlist grid and the anchor a Shift-click range starts from, by photo uuid.
/// Marks of photos that left the grid are harmless: the marked photos are read through the grid's
/// current list.
class GridSelection final
{
public:
    const QSet<QString>& marked() const { return m_marked; }
    const std::optional<QString>& anchor() const { return m_anchor; }
    bool isMarked(const QString& uuid) const { return m_marked.contains(uuid); }

    /// A click on a photo with the modifiers held then: Ctrl toggles it (and wins over Shift),
    /// Shift marks the range from the anchor when both are in the list, else the photo alone.
    void click(const QString& uuid, Qt::KeyboardModifiers modifiers, const QList<Medium>& media);
    void selectAll(const QList<Medium>& media);
    /// Escape: no marks, no anchor.
    void clear();
    /// The photo left the grid.
    void forget(const QString& uuid);
    /// The marked photos of the list, in its order.
    QList<Medium> markedMedia(const QList<Medium>& media) const;

private:
    QSet<QString> m_marked;
    std::optional<QString> m_anchor;
};

} // namespace lumi
