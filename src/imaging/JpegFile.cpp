#include "imaging/JpegFile.h"

#include "model/InFlightFiles.h"
#include "model/TemporaryName.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<QString> JpegFile::write(const QImage& image, const QString& path, int quality)
{
    // A temporary name the clean-up at start knows for a write cut short. NewOnly
    // (O_EXCL): nothing already at the temporary name is reused or written through.
    QFile out(TemporaryName::nextTo(path));
    const InFlightFiles::Claim claim(out.fileName());
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return u"cannot write %1: %2"_s.arg(path, out.errorString());
    QImageWriter writer(&out, "jpeg");
    writer.setQuality(quality);
    const bool encoded = writer.write(image);
    out.close();
    std::optional<QString> failure;
    if (!encoded)
        failure = u"encode failed: "_s + writer.errorString();
    else if (out.error() != QFileDevice::NoError)
        failure = u"cannot write %1: %2"_s.arg(path, out.errorString());
    // rename(2) replaces a file or link at path as a whole and never follows a link there.
    else if (std::rename(QFile::encodeName(out.fileName()).constData(),
                         QFile::encodeName(path).constData()) != 0)
        failure = u"cannot replace %1: %2"_s.arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (failure)
        QFile::remove(out.fileName());
    return failure;
}

} // namespace lumi
