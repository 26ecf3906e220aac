#include "services/ElectronMigration.h"

#include "library/DataDirectory.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/RegularFile.h"
#include "model/SessionTokenFile.h"
#include "platform/FileRevealer.h"
#include "platform/OlderAppProcesses.h"
#include "platform/Paths.h"
#include "platform/Trash.h"
#include "services/ElectronSettings.h"
#include "services/OlderAppCopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr auto quitCheckStep = 200ms;
constexpr qint64 mostTries = 3;

const QStringList leftoverFolders{
    u"Cache"_s,           u"Code Cache"_s,        u"GPUCache"_s,    u"DawnGraphiteCache"_s,
    u"DawnWebGPUCache"_s, u"Shared Dictionary"_s, u"blob_storage"_s};

QVariantMap variantLinks(const QMap<QString, QStringList>& links)
{
    QVariantMap map;
    for (auto it = links.cbegin(); it != links.cend(); ++it)
        map.insert(it.key(), QVariant(it.value()).toList());
    return map;
}

} // namespace

ElectronMigration::ElectronMigration(Services services)
    : m_services(std::move(services)), m_log(u"takeover"_s)
{
}

ElectronMigration::~ElectronMigration() = default;

QStringList ElectronMigration::copies() const
{
    return OlderAppCopies::find(QDir::homePath(), m_services.executable);
}

void ElectronMigration::mergePending(Defaults& defaults, const QVariantMap& values)
{
    QVariantMap pending = defaults.mapValue(keys::desktopReplacedPending).value_or(QVariantMap());
    pending.insert(values);
    defaults.setValue(keys::desktopReplacedPending, pending);
}

QCoro::Task<void> ElectronMigration::takeOver()
{
    Defaults& defaults = m_services.defaults;
    if (defaults.boolValue(keys::electronReplaced) == true)
        co_return;
    const qint64 tries = defaults.integerValue(keys::electronTakeoverTries).value_or(0);
    if (tries >= mostTries)
        co_return;
    if (!OlderAppCopies::isInstalled(m_services.executable, QDir::homePath())) {
        m_log.info(u"not in an Applications folder: Electron left alone"_s);
        co_return;
    }
    const QStringList installed = copies();
    // Copies are counted, not processes: one running copy is a whole tree of them.
    const std::vector<std::unique_ptr<RunningCopy>> running = m_services.processes->running(installed);
    if (installed.isEmpty() && running.empty()) {
        defaults.setValue(keys::electronReplaced, true);
        co_return;
    }
    const qint64 thisTry = tries + 1;
    defaults.setValue(keys::electronTakeoverTries, thisTry);
    m_log.info(u"Electron: %1 running, %2 installed, try %3"_s.arg(running.size())
                   .arg(installed.size())
                   .arg(thisTry));

    for (const std::unique_ptr<RunningCopy>& copy : running)
        copy->terminate();
    const auto anyRuns = [&running] {
        return std::any_of(running.cbegin(), running.cend(),
                           [](const auto& copy) { return copy->isRunning(); });
    };
    const auto deadline = m_services.clock->monotonic() + m_services.quitTimeout;
    while (anyRuns() && m_services.clock->monotonic() < deadline)
        co_await m_services.clock->sleep(quitCheckStep, CancelToken());
    for (const std::unique_ptr<RunningCopy>& copy : running) {
        if (!copy->isRunning())
            continue;
        m_log.info(u"Electron pid %1 didn't quit: forcing"_s.arg(copy->pid()));
        copy->kill();
    }

    int trashed = 0;
    for (const QString& copy : installed) {
        if (const std::optional<QString> error = m_services.trash->moveToTrash(copy)) {
            m_log.error(u"Electron copy at %1 not moved to the Trash: %2"_s.arg(copy, *error));
            continue;
        }
        ++trashed;
        m_log.info(u"Electron copy at %1 moved to the Trash"_s.arg(copy));
    }
    m_leftInPlace = trashed < installed.size();
    if (!m_leftInPlace)
        defaults.setValue(keys::electronReplaced, true);
    mergePending(
        defaults,
        {{u"trashed-copies"_s, qint64(trashed)}, {u"quit"_s, qint64(running.size())}, {u"try"_s, thisTry}});
}

void ElectronMigration::carryOverSettings()
{
    Defaults& defaults = m_services.defaults;
    if (defaults.boolValue(keys::electronMigrated) == true ||
        defaults.boolValue(keys::electronReplaced) != true)
        return;
    const QString folder = Paths::electronFolder();
    const std::optional<ElectronSettings> carry =
        ElectronSettings::read(folder + u"/Settings"_s, m_services.preferredLanguages);
    if (!carry) {
        defaults.setValue(keys::electronMigrated, true);
        return;
    }
    m_log.info(u"Electron's Settings found: carrying it over"_s);
    QStringList carried;
    // Only into an empty session, and only once the token is safely on disk: a user without a
    // token would be a session that can't sign in.
    if (!SessionTokenFile::load() && carry->token && SessionTokenFile::save(*carry->token)) {
        carried.append(u"token"_s);
        if (carry->user) {
            defaults.setValue(keys::user, *carry->user);
            carried.append(u"user"_s);
        }
    }
    if (carry->dataDir) {
        defaults.setValue(keys::dataDir, *carry->dataDir);
        carried.append(u"data-dir"_s);
    }
    if (!carry->linkedDownloads.isEmpty()) {
        defaults.setValue(keys::electronLinkedDownloads, variantLinks(carry->linkedDownloads));
        carried.append(u"linked-downloads"_s);
    }
    if (carry->language) {
        defaults.set(keys::appleLanguages, QStringList{*carry->language});
        carried.append(u"lang"_s);
    }
    if (!defaults.stringValue(keys::installFingerprint) && carry->installId) {
        defaults.setValue(keys::installFingerprint, *carry->installId);
        carried.append(u"install-fingerprint"_s);
    }
    const int leftovers = trashLeftovers();
    moveSettingsAside(folder);
    defaults.setValue(keys::electronMigrated, true);
    mergePending(defaults, {{u"migrated"_s, true}, {u"leftovers-trashed"_s, qint64(leftovers)}});
    m_log.info(u"carried over: %1; %2 leftovers to the Trash"_s.arg(carried.join(u", "_s)).arg(leftovers));
}

int ElectronMigration::trashLeftovers()
{
    QStringList paths;
    for (const QString& name : leftoverFolders)
        paths.append(Paths::electronFolder() + u'/' + name);
    // Asked for now, so a photo directory carried over a moment ago counts.
    paths.append(DataDirectory::current(m_services.defaults) + u"/Lumivale/Wallpaper Cache"_s);
    return int(std::count_if(paths.cbegin(), paths.cend(), [this](const QString& path) {
        return QFileInfo::exists(path) && !m_services.trash->moveToTrash(path);
    }));
}

void ElectronMigration::moveSettingsAside(const QString& folder)
{
    const QString settings = folder + u"/Settings"_s;
    const QString aside = folder + u"/Settings.electron"_s;
    // It holds the old token in clear: private before it takes its new name. Changed through the
    // opened file, so a link put in its place can't turn the change onto another file.
    QString error;
    const std::unique_ptr<QFile> file = RegularFile::open(settings, &error);
    if (!file || ::fchmod(file->handle(), S_IRUSR | S_IWUSR) != 0)
        m_log.error(u"can't make %1 private: %2"_s.arg(
            settings, file ? QString::fromLocal8Bit(std::strerror(errno)) : error));
    QFile::remove(aside);
    if (!QFile::rename(settings, aside))
        m_log.error(u"can't move %1 aside"_s.arg(settings));
}

bool ElectronMigration::isOldAppRunning() const
{
    return !m_services.processes->running(copies()).empty();
}

void ElectronMigration::revealOldApp()
{
    const QStringList found = copies();
    if (found.isEmpty())
        return;
    const QFileInfo copy(found.first());
    m_services.revealer->revealFolder(copy.isDir() ? copy.absoluteFilePath() : copy.absolutePath());
}

} // namespace lumi
