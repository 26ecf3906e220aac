#include "platform/linux/QtProcessControl.h"

#include <QCoreApplication>
#include <QProcess>

namespace lumi {

bool QtProcessControl::startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

qint64 QtProcessControl::processId() const
{
    return QCoreApplication::applicationPid();
}

QString QtProcessControl::executable() const
{
    return QCoreApplication::applicationFilePath();
}

void QtProcessControl::quit()
{
    QCoreApplication::quit();
}

} // namespace lumi
