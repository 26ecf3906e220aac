#include "model/TemporaryName.h"

#include <QFileInfo>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString temporaryMark = u".tmp-"_s;

} // namespace

QString TemporaryName::nextTo(const QString& destination)
{
    const QFileInfo info(destination);
    return info.path() + u"/."_s + info.fileName() + temporaryMark +
           QString::number(QRandomGenerator::global()->generate64(), 36);
}

bool TemporaryName::isTemporary(const QString& fileName)
{
    return fileName.startsWith(u'.') && fileName.contains(temporaryMark);
}

} // namespace lumi
