#include "support/OffscreenScreen.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace lumi::test {

void useOffscreenScreen(QSize pixels, qreal scale)
{
    const QJsonObject screen{{u"name"_s, u"Offscreen"_s},
                             {u"x"_s, 0},
                             {u"y"_s, 0},
                             {u"width"_s, pixels.width()},
                             {u"height"_s, pixels.height()},
                             {u"logicalDpi"_s, 96},
                             {u"logicalBaseDpi"_s, 96},
                             {u"dpr"_s, scale}};
    const QJsonObject config{{u"screens"_s, QJsonArray{screen}}};
    // Read when the application object is made; removed when the process ends.
    static QTemporaryFile file(QDir::temp().filePath(u"lumivale-offscreen-XXXXXX.json"_s));
    if (!file.open() || file.write(QJsonDocument(config).toJson()) < 0 || !file.flush())
        qFatal("can't write the offscreen screen's settings");
    qputenv("QT_QPA_PLATFORM", (u"offscreen:configfile="_s + file.fileName()).toLocal8Bit());
}

} // namespace lumi::test
