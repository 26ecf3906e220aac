#include "model/Graphemes.h"

#include <QList>
#include <QTextBoundaryFinder>

namespace lumi {

namespace {

/// Positions of every boundary after the start, in order; the last is the text's end.
QList<qsizetype> boundaries(const QString& text)
{
    QList<qsizetype> positions;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        positions.append(at);
    return positions;
}

} // namespace

int Graphemes::count(const QString& text)
{
    return int(boundaries(text).size());
}

QString Graphemes::first(const QString& text, int limit)
{
    // Each character is at least one code unit, so shorter text needs no look.
    if (text.size() <= limit)
        return text;
    const QList<qsizetype> ends = boundaries(text);
    return ends.size() <= limit ? text : text.left(limit > 0 ? ends[limit - 1] : 0);
}

QString Graphemes::last(const QString& text, int limit)
{
    if (text.size() <= limit)
        return text;
    const QList<qsizetype> ends = boundaries(text);
    if (ends.size() <= limit)
        return text;
    // The cut falls at the end of the character that precedes the kept ones.
    return text.mid(ends[ends.size() - limit - 1]);
}

} // namespace lumi
