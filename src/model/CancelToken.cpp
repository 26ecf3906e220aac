#include "model/CancelToken.h"

#include <QCoroSignal>
#include <QNetworkReply>

namespace lumi {

void CancelSignal::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    emit cancelled();
}

void CancelToken::abortOnCancel(QNetworkReply* reply) const
{
    if (isCancelled()) {
        reply->abort();
        return;
    }
    QObject::connect(m_state.get(), &CancelSignal::cancelled, reply, &QNetworkReply::abort);
}

QCoro::Task<void> CancelToken::untilCancelled(CancelToken token)
{
    if (!token.isCancelled())
        co_await qCoro(token.signal(), &CancelSignal::cancelled);
}

} // namespace lumi
