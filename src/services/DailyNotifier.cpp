#include "services/DailyNotifier.h"

#include "model/APIClient.h"
#include "model/Account.h"
#include "model/CdnUrl.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/MediaQuery.h"
#include "model/ReplyFinished.h"
#include "platform/Notifier.h"
#include "state/SaverPlayer.h"

#include <QDir>
#include <QFile>
#include <QNetworkReply>
#include <QPointer>
#include <QSaveFile>
#include <QUuid>

#include <algorithm>
#include <chrono>
#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int allowed = 2;
const QTime notifyAt(10, 0);

bool wantsNotifications(const Account& account)
{
    return account.user() && account.user()->notifications == std::optional(u"all"_s);
}

QDateTime tenOClock(const QDate& day)
{
    return QDateTime(day, notifyAt, Qt::LocalTime);
}

} // namespace

DailyNotifier::DailyNotifier(Services services) : m_services(services), m_log(u"notifier"_s)
{
    connect(&m_services.notifier, &Notifier::clicked, this, [this](uint id) {
        if (id == m_shownId && id != 0)
            emit todayRequested();
    });
    connect(&m_services.notifier, &Notifier::closed, this, [this](uint id) {
        if (id == m_shownId && id != 0)
            removeImages();
    });
}

DailyNotifier::~DailyNotifier()
{
    m_stop.cancel();
    removeImages();
}

QString DailyNotifier::dayKey(const QDate& day)
{
    return u"%1-%2-%3"_s.arg(day.year()).arg(day.month()).arg(day.day());
}

void DailyNotifier::start()
{
    if (m_running)
        return;
    m_running = true;
    m_stop = CancelToken();
    m_lastCheck = m_services.clock.now().toLocalTime();
    watch();
    if (wantsNotifications(m_services.account))
        requestAuthorization();
}

void DailyNotifier::stop()
{
    m_stop.cancel();
    m_running = false;
}

void DailyNotifier::requestAuthorization()
{
    askAuthorization();
}

QCoro::Task<bool> DailyNotifier::canNotify()
{
    co_return co_await m_services.notifier.authorizationStatus() == allowed;
}

QCoro::Task<void> DailyNotifier::askAuthorization()
{
    QPointer<DailyNotifier> self(this);
    const int status = co_await m_services.notifier.authorizationStatus();
    if (self && status != allowed)
        m_log.info(u"notifications not allowed"_s);
}

QCoro::Task<void> DailyNotifier::watch()
{
    QPointer<DailyNotifier> self(this);
    const CancelToken stop = m_stop;
    // Nothing can change before the next 10:00, so that is the one wake-up of the day. System sleep
    // counts toward the wait: a computer asleep at 10:00 checks as it wakes. A clock set back
    // wakes too early and waits again for the rest.
    while (co_await m_services.clock.sleepAcrossSuspend(untilNextCheck(), stop)) {
        if (!self)
            co_return;
        check();
    }
}

std::chrono::milliseconds DailyNotifier::untilNextCheck() const
{
    const QDateTime now = m_services.clock.now().toLocalTime();
    const QDateTime today = tenOClock(now.date());
    const QDateTime next = now < today ? today : tenOClock(now.date().addDays(1));
    return std::chrono::milliseconds(std::max<qint64>(now.msecsTo(next), 0));
}

void DailyNotifier::check()
{
    const QDateTime now = m_services.clock.now().toLocalTime();
    const QDateTime previous = std::exchange(m_lastCheck, now);
    const QDateTime ten = tenOClock(now.date());
    // Only the check that crosses 10:00: a start after it posts nothing that day.
    if (!(previous < ten && now >= ten))
        return;
    if (!m_services.account.isSignedIn() || !wantsNotifications(m_services.account) ||
        m_services.player.isShowing())
        return;
    const QString today = dayKey(now.date());
    if (m_services.defaults.stringValue(keys::notifiedDay) == std::optional(today))
        return;
    // Kept before the attempt, so a failed one is not repeated today.
    m_services.defaults.setValue(keys::notifiedDay, today);
    postToday();
}

QCoro::Task<void> DailyNotifier::postToday()
{
    QPointer<DailyNotifier> self(this);
    Notifier& notifier = m_services.notifier;
    const int status = co_await notifier.authorizationStatus();
    if (!self)
        co_return;
    if (status != allowed) {
        m_log.info(u"today's photos: notifications not allowed ("_s + QString::number(status) + u')');
        emit attemptFinished();
        co_return;
    }
    QList<Medium> today;
    try {
        MediaQuery query;
        query.path = u"today"_s;
        today = co_await m_services.api.mediaPage(std::move(query));
    } catch (const std::exception&) {
        today.clear();
    }
    if (!self)
        co_return;
    if (today.isEmpty()) {
        m_log.info(u"today's photos: none loaded"_s);
        emit attemptFinished();
        co_return;
    }
    const Medium& first = today.first();
    const qsizetype count = today.size();
    const QString body =
        count == 1
            ? tr("%1 is new on Lumivale.").arg(first.displayTitle())
            : tr("%1 and %2 more new photos are on Lumivale.").arg(first.displayTitle()).arg(count - 1);
    removeImages();
    const QString image = co_await savedThumbnail(first);
    if (!self)
        co_return;
    if (!image.isEmpty())
        m_images.append(image);
    const Notifier::Posted posted = co_await notifier.post(tr("Today's photos"), body, image);
    if (!self)
        co_return;
    if (!posted.error.isEmpty()) {
        m_log.error(u"today's photos: "_s + posted.error);
        removeImages();
    } else {
        m_shownId = posted.id;
        m_log.info(u"today's photos posted ("_s + QString::number(count) + u')');
    }
    emit attemptFinished();
}

QCoro::Task<QString> DailyNotifier::savedThumbnail(Medium photo)
{
    const std::optional<QUrl> url = photo.thumbnailURL();
    if (!url)
        co_return QString();
    const QString target =
        QDir(QDir::tempPath())
            .filePath(u"today-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces) + u".jpg"_s);
    if (url->isLocalFile())
        co_return QFile::copy(url->toLocalFile(), target) ? target : QString();
    QPointer<DailyNotifier> self(this);
    // A redirect is followed only to an allowed address, like every photo download.
    const std::unique_ptr<QNetworkReply> reply(CdnUrl::get(m_services.api.network(), QNetworkRequest(*url)));
    co_await ReplyFinished(reply.get());
    if (!self || reply->error() != QNetworkReply::NoError ||
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        co_return QString();
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(reply->readAll()) < 0 || !file.commit())
        co_return QString();
    co_return target;
}

void DailyNotifier::removeImages()
{
    for (const QString& image : std::as_const(m_images))
        QFile::remove(image);
    m_images.clear();
}

} // namespace lumi
