// Writes the app's icon in the layout of the hicolor icon theme, for installation:
//   icon-files OUTPUT_DIR  ->  OUTPUT_DIR/hicolor/scalable/apps/NAME.svg,
//   OUTPUT_DIR/hicolor/NxN/apps/NAME.png
#include "app/AppIcon.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

using namespace Qt::StringLiterals;
using lumi::AppIcon;

namespace {

bool write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "icon-files: can't write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon-files OUTPUT_DIR\n");
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]) + u"/hicolor/"_s;
    const QString name = QString::fromLatin1(AppIcon::themeName);
    if (!write(theme + u"scalable/apps/"_s + name + u".svg"_s, AppIcon::svg()))
        return 1;
    for (const int size : AppIcon::pixelSizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        AppIcon::image(size).save(&buffer, "PNG");
        if (!write(theme + u"%1x%1/apps/"_s.arg(size) + name + u".png"_s, png))
            return 1;
    }
    return 0;
}
