#include "model/ReplyFinished.h"

#include <QNetworkReply>

namespace lumi {

bool ReplyFinished::await_ready() const noexcept
{
    return m_reply->isFinished();
}

void ReplyFinished::await_suspend(std::coroutine_handle<> awaiting) const
{
    // Qt drops a single-shot connection before it delivers the first report, and a queued call
    // dies with the reply it is bound to.
    QObject::connect(
        m_reply, &QNetworkReply::finished, m_reply, [awaiting] { awaiting.resume(); },
        Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
}

} // namespace lumi
