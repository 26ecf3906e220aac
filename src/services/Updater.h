#pragma once

#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "services/SoftwareUpdates.h"

#include <QUrl>

#include <memory>

class QNetworkAccessManager;

namespace lumi {

class Clock;
class Defaults;

/// Reads the update feed (an RSS appcast): "update-url" when set, else the service's own feed.
/// Looks 180 seconds after start and every 12 hours after that; a newer version found then is
/// announced, one found by a check the user asked for is answered. Only https feeds and links
/// (or http to this machine) are taken. It asks through the app's one HTTP session, which must
/// outlive it: a session of its own would bring a network thread and TLS of its own for a request
/// twice a day.
class Updater final : public SoftwareUpdates
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Updater)

public:
    Updater(QNetworkAccessManager& network, std::unique_ptr<Clock> clock, Defaults& defaults);
    ~Updater() override;

    void start() override;
    QCoro::Task<UpdateCheck> checkForUpdates() override;

    static QUrl builtInFeed();
    /// The newest item of a feed compared with `runningVersion`.
    static UpdateCheck judge(const QByteArray& feed, const QString& runningVersion, AppLog& log);

private:
    QCoro::Task<void> checkInBackground();
    QUrl feedUrl() const;

    std::unique_ptr<Clock> m_clock;
    Defaults& m_defaults;
    AppLog m_log;
    QNetworkAccessManager& m_network;
    bool m_started = false;
    CancelToken m_ending;
};

} // namespace lumi
