#include "browser/GridSelection.h"

#include <algorithm>

namespace lumi {

namespace {

qsizetype indexOf(const QList<Medium>& media, const QString& uuid)
{
    const auto found =
        std::find_if(media.begin(), media.end(), [&](const Medium& m) { return m.uuid == uuid; });
    return found == media.end() ? -1 : qsizetype(found - media.begin());
}

} // namespace

void GridSelection::click(const QString& uuid, Qt::KeyboardModifiers modifiers, const QList<Medium>& media)
{
    if (modifiers.testFlag(Qt::ControlModifier)) {
        if (!m_marked.remove(uuid))
            m_marked.insert(uuid);
        m_anchor = uuid;
        return;
    }
    if (modifiers.testFlag(Qt::ShiftModifier) && m_anchor) {
        const qsizetype from = indexOf(media, *m_anchor);
        const qsizetype to = indexOf(media, uuid);
        if (from >= 0 && to >= 0) {
            m_marked.clear();
            for (qsizetype i = std::min(from, to); i <= std::max(from, to); ++i)
                m_marked.insert(media.at(i).uuid);
            return;
        }
    }
    m_marked = {uuid};
    m_anchor = uuid;
}

void GridSelection::selectAll(const QList<Medium>& media)
{
    if (media.isEmpty())
        return;
    m_marked.clear();
    for (const Medium& photo : media)
        m_marked.insert(photo.uuid);
}

void GridSelection::clear()
{
    m_marked.clear();
    m_anchor.reset();
}

void GridSelection::forget(const QString& uuid)
{
    m_marked.remove(uuid);
}

QList<Medium> GridSelection::markedMedia(const QList<Medium>& media) const
{
    QList<Medium> chosen;
    for (const Medium& photo : media) {
        if (m_marked.contains(photo.uuid))
            chosen.append(photo);
    }
    return chosen;
}

} // namespace lumi
