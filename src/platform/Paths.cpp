#include "platform/Paths.h"

#include <QDir>
#include <QStandardPaths>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QString xdgFolder(const char* variable, const QString& fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    // The XDG base directory rules ignore relative values.
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + u'/' + fallbackBelowHome;
}

} // namespace

QString Paths::dataHome()
{
    return xdgFolder("XDG_DATA_HOME", u".local/share"_s);
}
QString Paths::configHome()
{
    return xdgFolder("XDG_CONFIG_HOME", u".config"_s);
}
QString Paths::cacheHome()
{
    return xdgFolder("XDG_CACHE_HOME", u".cache"_s);
}

QString Paths::runtimeDir()
{
    const QString value = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::tempPath() + u"/lumivale-runtime-"_s + QString::number(getuid());
}

QString Paths::appDataFolder()
{
    return dataHome() + u"/Lumivale"_s;
}
QString Paths::appConfigFolder()
{
    return configHome() + u"/lumivale-desktop"_s;
}
QString Paths::defaultsFile()
{
    return appConfigFolder() + u"/defaults.json"_s;
}
QString Paths::httpCacheFolder()
{
    return cacheHome() + u"/lumivale-desktop/http"_s;
}
QString Paths::electronFolder()
{
    return configHome() + u"/Lumivale"_s;
}

QString Paths::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() + u"/Documents"_s : documents;
}

QString Paths::autostartFile()
{
    return configHome() + u"/autostart/lumivale-desktop.desktop"_s;
}

} // namespace lumi
