#include "support/TemporaryHome.h"

#include "model/Defaults.h"
#include "model/LogStore.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace lumi::test {

TemporaryHome::TemporaryHome()
{
    const QList<std::pair<const char*, QString>> variables{
        {"HOME", u""_s},
        {"XDG_DATA_HOME", u"/.local/share"_s},
        {"XDG_CONFIG_HOME", u"/.config"_s},
        {"XDG_CACHE_HOME", u"/.cache"_s},
        {"XDG_RUNTIME_DIR", u"/runtime"_s},
    };
    for (const auto& [name, below] : variables) {
        m_saved.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        qputenv(name, QFile::encodeName(m_dir.path() + below));
    }
    // Qt insists on a private runtime folder.
    const QString runtime = m_dir.path() + u"/runtime"_s;
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The shared instances are made again, inside this home, on first use.
    LogStore::setShared(nullptr);
    Defaults::setShared(nullptr);
}

TemporaryHome::~TemporaryHome()
{
    LogStore::setShared(nullptr);
    Defaults::setShared(nullptr);
    for (const auto& [name, value] : std::as_const(m_saved)) {
        if (value)
            qputenv(name.constData(), *value);
        else
            qunsetenv(name.constData());
    }
}

} // namespace lumi::test
