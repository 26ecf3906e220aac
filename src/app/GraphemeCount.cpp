#include "app/GraphemeCount.h"

#include <QTextBoundaryFinder>

namespace lumi {

int GraphemeCount::of(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

} // namespace lumi
