#include "services/Diagnostics.h"

#include "model/APIClient.h"
#include "model/APIError.h"
#include "model/Account.h"
#include "model/CdnOrigin.h"
#include "model/DeviceInfo.h"
#include "model/LogStore.h"
#include "model/OutgoingText.h"
#include "platform/Paths.h"
#include "state/DeviceRecord.h"
#include "wallpaper/CalendarService.h"
#include "wallpaper/RotationEngine.h"

#include <QCoroTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QPointer>
#include <QUuid>

#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QString logPrefix = u"runTests() - "_s;
constexpr qint64 logTailBytes = 409600;
// The sign-in photo's id; the stand-in service's catalog holds it too.
const QString samplePhotoId = u"212043f1-bd79-432e-9fb8-1513f8c0ba20"_s;

QJsonObject outcome(const std::optional<QString>& error)
{
    return error ? QJsonObject{{u"success"_s, false}, {u"error"_s, *error}}
                 : QJsonObject{{u"success"_s, true}};
}

QString memory()
{
    const double bytes = double(sysconf(_SC_PHYS_PAGES)) * double(sysconf(_SC_PAGE_SIZE));
    return QString::asprintf("%.2fGB", bytes / double(1 << 30));
}

QString plainText(const QJsonValue& value)
{
    if (value.isBool())
        return value.toBool() ? u"true"_s : u"false"_s;
    if (value.isDouble())
        return QString::number(value.toDouble());
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    return value.toString();
}

} // namespace

Diagnostics::Diagnostics(APIClient& api, RotationEngine& rotation, const Account& account, QObject* parent)
    : m_api(api), m_rotation(rotation), m_account(account), m_log(u"tests"_s)
{
    setParent(parent);
}

Diagnostics::~Diagnostics() = default;

Medium Diagnostics::samplePhoto()
{
    Medium photo;
    photo.uuid = samplePhotoId;
    photo.title = tr("Grand Teton N.P. in Autumn, Wyoming");
    photo.secureBaseUrl = CdnOrigin::base() + u"/"_s + samplePhotoId + u"/"_s;
    return photo;
}

QCoro::Task<void> Diagnostics::runTests()
{
    if (m_running)
        co_return;
    setRunning(true);
    setResult(std::nullopt);
    setHints({});
    QElapsedTimer duration;
    duration.start();
    m_log.info(logPrefix + u"Starting diagnostic tests"_s);
    QPointer<Diagnostics> self(this);

    QJsonObject details{
        // C-locale digits: the support team reads these dates whatever the user's language.
        {u"date"_s, QLocale::c().toString(QDateTime::currentDateTime(), u"MM-dd-yyyy HH:mm:ss"_s)},
        {u"platform"_s, u"linux"_s},
        {u"osv"_s, DeviceRecord::osRelease()},
        {u"arch"_s, DeviceRecord::architecture()},
        {u"bytes"_s, memory()},
        {u"version"_s, DeviceInfo::appVersion()},
        {u"dataDir"_s, Paths::appDataFolder()},
        {u"api"_s, APIClient::baseURL().toString()},
        {u"success"_s, false},
    };
    QJsonObject testDetails;

    co_await announce(tr("Testing write permissions…"), 0.15);
    if (!self)
        co_return;
    const bool writeable = writeTest();
    details.insert(u"writeable"_s, writeable);
    details.insert(u"writeableAfter"_s, writeable);

    co_await announce(tr("Testing the favorites API…"), 0.35);
    if (!self)
        co_return;
    bool favorites = false;
    try {
        // Through request itself: a 401 here is a test result, and signs nobody out.
        APIRequest favoritesPage{u"GET"_s, u"media/playlists/favorites"_s, {}, std::nullopt, true, {}};
        favoritesPage.query = {{u"page"_s, u"1"_s}, {u"per_page"_s, u"500"_s}};
        const MediaResponse answer = co_await m_api.request<MediaResponse>(std::move(favoritesPage));
        favorites = true;
        testDetails.insert(
            u"favorites"_s,
            QJsonObject{{u"success"_s, true}, {u"count"_s, answer.media.value_or(QList<Medium>()).size()}});
    } catch (const APIError& error) {
        testDetails.insert(u"favorites"_s,
                           QJsonObject{{u"success"_s, false}, {u"error"_s, error.userMessage()}});
    }
    if (!self)
        co_return;
    details.insert(u"favorites"_s, favorites);

    const Medium photo = m_rotation.nowShowing().value_or(samplePhoto());
    co_await announce(tr("Testing wallpaper (HTTPS + CDN)…"), 0.55);
    if (!self)
        co_return;
    const std::optional<QString> throughCdn = co_await m_rotation.testWallpaper(photo, true);
    if (!self)
        co_return;
    details.insert(u"setwallpaper"_s, !throughCdn);

    co_await announce(tr("Testing wallpaper (HTTPS, no CDN)…"), 0.75);
    if (!self)
        co_return;
    const std::optional<QString> direct = co_await m_rotation.testWallpaper(photo, false);
    if (!self)
        co_return;
    details.insert(u"setwallpaperNoCdn"_s, !direct);
    testDetails.insert(u"wallpaper"_s,
                       QJsonObject{{u"httpsCdn"_s, outcome(throughCdn)}, {u"httpsNoCdn"_s, outcome(direct)}});

    co_await announce(tr("Testing the calendar…"), 0.82);
    if (!self)
        co_return;
    const std::optional<QString> calendar = m_rotation.calendar().renderSample(m_account.user());
    details.insert(u"cali"_s, !calendar);
    testDetails.insert(u"cali"_s, outcome(calendar));

    co_await announce(tr("Checking playlists…"), 0.9);
    if (!self)
        co_return;
    const QString rotateDesktop =
        (m_account.user() ? m_account.user()->rotateDesktop : std::nullopt).value_or(u"1hour"_s);
    int paperPlaylists = 0;
    int saverPlaylists = 0;
    qint64 paperCount = 0;
    qint64 saverCount = 0;
    for (const Album& album : m_account.albums()) {
        if (album.includeInPaper.value_or(false)) {
            ++paperPlaylists;
            paperCount += album.count.value_or(0);
        }
        if (album.includeInSaver.value_or(false)) {
            ++saverPlaylists;
            saverCount += album.count.value_or(0);
        }
    }
    details.insert(u"rotateDesktop"_s, rotateDesktop);
    details.insert(u"paperPlaylistsSelected"_s, paperPlaylists);
    details.insert(u"saverPlaylistsSelected"_s, saverPlaylists);
    details.insert(u"papercount"_s, paperCount);
    details.insert(u"savercount"_s, saverCount);

    const bool success = writeable && favorites && !throughCdn && !direct && !calendar;
    details.insert(u"success"_s, success);
    details.insert(u"testDetails"_s, testDetails);
    details.insert(u"testDuration"_s, duration.elapsed());

    QStringList problems;
    const QList<std::pair<QString, QString>> parts{
        {u"writeable"_s, tr("writing files")},
        {u"favorites"_s, tr("reaching the Lumivale API")},
        {u"setwallpaper"_s, tr("setting a wallpaper through the CDN")},
        {u"setwallpaperNoCdn"_s, tr("setting a wallpaper directly")},
        {u"cali"_s, tr("drawing the calendar")},
    };
    for (const auto& [key, text] : parts) {
        if (!details.value(key).toBool())
            problems.append(text);
    }
    const QString summary =
        success ? tr("All tests passed.") : tr("Problems with ") + problems.join(u", "_s) + u'.';
    details.insert(u"summary"_s, summary);

    QStringList hints;
    if (rotateDesktop != u"never"_s && paperPlaylists == 0)
        hints.append(tr(
            "No playlist is marked for wallpaper rotation — click the ○ next to a playlist in the sidebar."));
    if (!favorites)
        hints.append(tr("Check your internet connection, then run the tests again."));
    setHints(hints);
    details.insert(u"hints"_s, QJsonArray::fromStringList(hints));

    for (const QString& key : details.keys()) {
        if (!details.value(key).isObject())
            m_log.info(logPrefix + key + u": "_s + plainText(details.value(key)));
    }

    co_await announce(tr("Sending results to Support…"), 0.97);
    if (!self)
        co_return;
    const QByteArray report =
        QJsonDocument(QJsonObject{{u"tests"_s, details}}).toJson(QJsonDocument::Compact);
    const QMap<QString, QString> withResults{{u"tresults"_s, u"true"_s}};
    const bool resultsSent = co_await m_api.postJSON(u"info"_s, withResults, report);
    if (!self)
        co_return;
    const QString lines = OutgoingText::scrubbed(
        logPrefix + u"Starting diagnostic tests\n"_s + LogStore::shared().tail(logTailBytes), m_api.token());
    const QByteArray log = QJsonDocument(QJsonObject{{u"lines"_s, lines}}).toJson(QJsonDocument::Compact);
    const bool logSent = co_await m_api.postJSON(u"rlogger"_s, {}, log);
    if (!self)
        co_return;

    setProgress(1);
    setStep(QString());
    setResult(summary + (resultsSent
                             ? tr(" Results sent to Support — we will get right back to you!")
                             : tr(" The results couldn't be sent; check your connection and try again.")));
    m_log.info(logPrefix + u"done, results sent: "_s + (resultsSent ? u"true"_s : u"false"_s) +
               u", log sent: "_s + (logSent ? u"true"_s : u"false"_s));
    setRunning(false);
}

QCoro::Task<void> Diagnostics::announce(const QString& label, double progress)
{
    setProgress(progress);
    setStep(label);
    m_log.info(logPrefix + label);
    // Lets the pane draw the step before the test holds the main thread.
    co_await QCoro::sleepFor(0ms);
}

bool Diagnostics::writeTest() const
{
    QDir().mkpath(Paths::appDataFolder());
    QFile file(QDir(Paths::appDataFolder())
                   .filePath(u".write-test-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces)));
    const bool written = file.open(QIODevice::WriteOnly) && file.write("test") == 4 && file.flush();
    file.close();
    const bool removed = file.exists() && file.remove();
    return written && removed;
}

void Diagnostics::setRunning(bool running)
{
    if (std::exchange(m_running, running) != running) {
        emit runningChanged();
        emit changed();
    }
}

void Diagnostics::setProgress(double progress)
{
    if (std::exchange(m_progress, progress) != progress) {
        emit progressChanged();
        emit changed();
    }
}

void Diagnostics::setStep(const QString& step)
{
    if (std::exchange(m_step, step) != step) {
        emit stepChanged();
        emit changed();
    }
}

void Diagnostics::setResult(std::optional<QString> result)
{
    if (std::exchange(m_result, result) != result) {
        emit resultChanged();
        emit changed();
    }
}

void Diagnostics::setHints(const QStringList& hints)
{
    if (std::exchange(m_hints, hints) != hints) {
        emit hintsChanged();
        emit changed();
    }
}

} // namespace lumi
