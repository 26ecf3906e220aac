#include "services/Updater.h"

#include "model/CdnUrl.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/ReplyFinished.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QVersionNumber>
#include <QXmlStreamReader>

#include <chrono>
#include <optional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr auto firstCheckDelay = 180s;
constexpr auto checkInterval = 43200s;
constexpr int requestTimeoutMs = 60'000;

struct FeedItem
{
    QString version;
    QString link;
    QString notes;
};

UpdateCheck failure(const QString& error)
{
    return UpdateCheck{.outcome = UpdateCheck::Outcome::failed,
                       .version = {},
                       .downloadPage = {},
                       .releaseNotes = {},
                       .error = error};
}

/// An item's version as Sparkle feeds give it: the short version string, else the build version,
/// on the item or on its enclosure.
void readItem(QXmlStreamReader& xml, FeedItem& item)
{
    QString shortVersion;
    QString buildVersion;
    QString enclosure;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.qualifiedName();
        if (name == u"enclosure") {
            const QXmlStreamAttributes attributes = xml.attributes();
            enclosure = attributes.value(u"url"_s).toString();
            if (shortVersion.isEmpty())
                shortVersion = attributes.value(u"sparkle:shortVersionString"_s).toString();
            if (buildVersion.isEmpty())
                buildVersion = attributes.value(u"sparkle:version"_s).toString();
            xml.skipCurrentElement();
        } else if (name == u"sparkle:shortVersionString") {
            shortVersion = xml.readElementText();
        } else if (name == u"sparkle:version") {
            buildVersion = xml.readElementText();
        } else if (name == u"link") {
            item.link = xml.readElementText();
        } else if (name == u"description") {
            item.notes = xml.readElementText();
        } else {
            xml.skipCurrentElement();
        }
    }
    item.version = (shortVersion.isEmpty() ? buildVersion : shortVersion).trimmed();
    if (item.link.isEmpty())
        item.link = enclosure;
    item.link = item.link.trimmed();
}

QList<FeedItem> readFeed(const QByteArray& feed, QString* error)
{
    QList<FeedItem> items;
    QXmlStreamReader xml(feed);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.qualifiedName() == u"item") {
            FeedItem item;
            readItem(xml, item);
            items.append(item);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return items;
}

} // namespace

Updater::Updater(QNetworkAccessManager& network, std::unique_ptr<Clock> clock, Defaults& defaults)
    : m_clock(std::move(clock)), m_defaults(defaults), m_log(u"update"_s), m_network(network)
{
}

Updater::~Updater()
{
    m_ending.cancel();
}

QUrl Updater::builtInFeed()
{
    return QUrl(u"https://lumivale.com/desktop/linux/appcast.xml"_s);
}

QUrl Updater::feedUrl() const
{
    const QString overridden = m_defaults.stringValue(keys::updateUrl).value_or(QString());
    return overridden.isEmpty() ? builtInFeed() : QUrl(overridden);
}

void Updater::start()
{
    if (m_started)
        return;
    m_started = true;
    checkInBackground();
}

QCoro::Task<void> Updater::checkInBackground()
{
    QPointer<Updater> self(this);
    const CancelToken ending = m_ending;
    auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(firstCheckDelay);
    while (co_await m_clock->sleepAcrossSuspend(delay, ending)) {
        if (!self)
            co_return;
        const UpdateCheck check = co_await checkForUpdates();
        if (!self)
            co_return;
        if (check.outcome == UpdateCheck::Outcome::newer)
            emit updateAvailable(check);
        delay = checkInterval;
    }
}

QCoro::Task<UpdateCheck> Updater::checkForUpdates()
{
    const QUrl feed = feedUrl();
    if (!feed.isValid() || !CdnUrl::isAllowed(feed)) {
        const UpdateCheck refused =
            failure(u"The update feed %1 is not a secure address."_s.arg(feed.toString()));
        m_log.info(u"update check ended: "_s + refused.error);
        co_return refused;
    }
    QNetworkRequest request(feed);
    request.setTransferTimeout(requestTimeoutMs);
    QPointer<Updater> self(this);
    const std::unique_ptr<QNetworkReply> reply(m_network.get(request));
    co_await ReplyFinished(reply.get());
    if (!self)
        co_return failure(u"The update check was stopped."_s);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status != 200) {
        const UpdateCheck failed = failure(u"The update feed could not be loaded: "_s + reply->errorString());
        m_log.info(u"update check ended: "_s + failed.error);
        co_return failed;
    }
    co_return judge(reply->readAll(), QCoreApplication::applicationVersion(), m_log);
}

UpdateCheck Updater::judge(const QByteArray& feed, const QString& runningVersion, AppLog& log)
{
    QString error;
    const QList<FeedItem> items = readFeed(feed, &error);
    if (!error.isEmpty()) {
        const UpdateCheck broken = failure(u"The update feed could not be read: "_s + error);
        log.info(u"update check ended: "_s + broken.error);
        return broken;
    }
    log.info(u"appcast loaded: "_s + QString::number(items.size()) + u" items"_s);

    std::optional<FeedItem> newest;
    QVersionNumber newestVersion = QVersionNumber::fromString(runningVersion);
    for (const FeedItem& item : items) {
        const QVersionNumber version = QVersionNumber::fromString(item.version);
        if (!version.isNull() && QVersionNumber::compare(version, newestVersion) > 0) {
            newest = item;
            newestVersion = version;
        }
    }
    if (!newest) {
        log.info(u"no update: "_s + runningVersion + u" is the newest version"_s);
        return UpdateCheck{.outcome = UpdateCheck::Outcome::upToDate,
                           .version = runningVersion,
                           .downloadPage = {},
                           .releaseNotes = {},
                           .error = {}};
    }
    const QUrl link(newest->link);
    if (!link.isValid() || !CdnUrl::isAllowed(link)) {
        const UpdateCheck unsafe =
            failure(u"The download link of version %1 is not a secure address."_s.arg(newest->version));
        log.info(u"update check ended: "_s + unsafe.error);
        return unsafe;
    }
    log.info(u"update available: "_s + newest->version);
    return UpdateCheck{.outcome = UpdateCheck::Outcome::newer,
                       .version = newest->version,
                       .downloadPage = link,
                       .releaseNotes = newest->notes,
                       .error = {}};
}

} // namespace lumi
