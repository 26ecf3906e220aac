#include "services/CrashReporter.h"

#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/DeviceInfo.h"
#include "model/Graphemes.h"
#include "model/LogStore.h"
#include "model/OutgoingText.h"
#include "model/SessionTokenFile.h"
#include "platform/CrashHandlers.h"
#include "platform/Paths.h"
#include "services/CrashCatcher.h"
#include "state/DeviceRecord.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>
#include <QUuid>

#include <algorithm>
#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr int messageLimit = 512;
constexpr int textLimit = 16384;
constexpr qint64 breadcrumbBytes = 16384;
constexpr auto firstFlushDelay = 15s;

QString newID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
}

} // namespace

CrashReporter::CrashReporter() : m_log(u"crash"_s), m_sessionID(newID()) {}

CrashReporter::~CrashReporter() = default;

QString CrashReporter::spoolFolder()
{
    return QDir(Paths::appDataFolder()).filePath(u"native-crashes"_s);
}

void CrashReporter::install(CrashHandlers& handlers)
{
    const QString breadcrumbs = LogStore::shared().tail(breadcrumbBytes);
    if (const auto crash = CrashCatcher::pendingCrash(Paths::appDataFolder())) {
        report(CrashReport{
            .process = u"crash"_s,
            .message = crash->message,
            .stack = crash->stack,
            .fingerprint = crash->fingerprint,
            .version = crash->version,
            .occurredAt = crash->occurredAt,
            .breadcrumbs = breadcrumbs,
        });
    }
    QDir().mkpath(Paths::appDataFolder());
    handlers.install(Paths::appDataFolder(), DeviceInfo::appVersion());
    QTimer::singleShot(firstFlushDelay, this, [this] { flush(); });
}

void CrashReporter::attach(APIClient& api, const Account& account, const Clock& clock)
{
    m_api = &api;
    m_account = &account;
    m_clock = &clock;
    // The previous run's crash goes up as the app starts, not with the later pass.
    flush();
}

void CrashReporter::report(const CrashReport& report)
{
    m_log.error(u"["_s + report.process + u"] "_s + report.message);
    emit reported(report);
    if (!admit(report.fingerprint))
        return;
    const QJsonObject fields = record(report);
    const QByteArray json = QJsonDocument(fields).toJson(QJsonDocument::Compact);
    QDir().mkpath(spoolFolder());
    prune();
    QSaveFile file(QDir(spoolFolder()).filePath(fields[u"event-id"_s].toString() + u".json"_s));
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        m_log.error(u"could not keep the crash record: "_s + file.errorString());
    flush();
}

bool CrashReporter::admit(const QString& fingerprint)
{
    Defaults& defaults = Defaults::shared();
    const QString today = now().toLocalTime().date().toString(u"yyyy-MM-dd"_s);
    QVariantMap state = defaults.mapValue(keys::crashThrottle).value_or(QVariantMap());
    if (state.value(u"date"_s).toString() != today)
        state = QVariantMap{{u"date"_s, today}};
    QVariantMap counts = state.value(u"counts"_s).toMap();
    const qint64 count = counts.value(fingerprint).toLongLong();
    if (count >= dailyLimit)
        return false;
    counts.insert(fingerprint, count + 1);
    state.insert(u"counts"_s, counts);
    defaults.setValue(keys::crashThrottle, state);
    return true;
}

QJsonObject CrashReporter::record(const CrashReport& report) const
{
    const QString breadcrumbs = report.breadcrumbs.value_or(LogStore::shared().recent().join(u'\n'));
    const bool signedIn = m_account && m_account->isSignedIn();
    QJsonObject record{
        {u"event-id"_s, newID()},
        {u"fingerprint"_s, report.fingerprint},
        {u"app"_s, DeviceRecord::app()},
        {u"process"_s, report.process},
        {u"message"_s, Graphemes::first(report.message, messageLimit)},
        {u"stack"_s, Graphemes::first(report.stack, textLimit)},
        {u"breadcrumbs"_s, Graphemes::last(breadcrumbs, textLimit)},
        {u"version"_s, report.version},
        {u"platform"_s, u"linux"_s},
        {u"arch"_s, DeviceRecord::architecture()},
        {u"osv"_s, DeviceRecord::osRelease()},
        {u"boot-state"_s, signedIn ? u"ready"_s : u"signed-out"_s},
        {u"session-id"_s, m_sessionID},
        {u"install-id"_s, DeviceInfo::installFingerprint(Defaults::shared())},
        {u"occurred-at"_s, report.occurredAt.toUTC().toString(Qt::ISODate)},
    };
    // Whatever a problem's text picked up, neither the home folder nor the session token is sent
    // with it. Before the client is attached (the previous run's crash) the session is the one on
    // disk.
    const std::optional<QString> token = m_api ? m_api->token() : SessionTokenFile::load();
    for (auto it = record.begin(); it != record.end(); ++it)
        it.value() = OutgoingText::scrubbed(it.value().toString(), token);
    return record;
}

void CrashReporter::prune() const
{
    QFileInfoList files = QDir(spoolFolder()).entryInfoList(QDir::Files | QDir::Hidden);
    if (files.size() < spoolLimit)
        return;
    std::sort(files.begin(), files.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() < b.lastModified(); });
    for (qsizetype i = 0; i < files.size() - (spoolLimit - 1); ++i)
        QFile::remove(files[i].filePath());
}

QCoro::Task<void> CrashReporter::flush()
{
    if (m_flushing || !m_api)
        co_return;
    m_flushing = true;
    QPointer<CrashReporter> self(this);
    const QFileInfoList files = QDir(spoolFolder()).entryInfoList({u"*.json"_s}, QDir::Files);
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray body = file.readAll();
        file.close();
        if (!m_api)
            break;
        const bool sent = co_await m_api->postJSON(u"crashes"_s, {}, body);
        if (!self)
            co_return;
        if (!sent) {
            m_log.info(u"crash upload failed; "_s + info.fileName() +
                       u" and the rest wait for the next pass"_s);
            break;
        }
        QFile::remove(info.filePath());
    }
    m_flushing = false;
}

QDateTime CrashReporter::now() const
{
    return m_clock ? m_clock->now() : QDateTime::currentDateTime();
}

} // namespace lumi
