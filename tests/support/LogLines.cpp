#include "support/LogLines.h"

#include "model/LogStore.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace lumi::test {

QStringList logLines(const QString& category)
{
    QFile file(LogStore::shared().filePath());
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QString marker = u" ["_s + category + u"] "_s;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const qsizetype at = line.indexOf(marker);
        if (at >= 0)
            lines.append(line.mid(at + marker.size()));
    }
    return lines;
}

} // namespace lumi::test
