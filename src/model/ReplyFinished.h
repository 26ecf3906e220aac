#pragma once

#include <qcoro/coroutine.h>

class QNetworkReply;

namespace lumi {

/// How the app awaits a network reply it may abort: `co_await ReplyFinished(reply)` goes on once the
/// reply has ended, at once when it already has.
///
/// A reply may report its end twice (one aborted before its queued failure comes does), so only
/// the first report counts: a second would resume a coroutine that has moved on or ended. The
/// coroutine goes on a turn later, never inside whoever aborted the reply (a cancel, a destructor).
/// A reply deleted before then, its network gone with its owner, never resumes the coroutine, so
/// nothing runs on for an owner that is gone.
class ReplyFinished final
{
public:
    explicit ReplyFinished(QNetworkReply* reply) : m_reply(reply) {}

    bool await_ready() const noexcept;
    void await_suspend(std::coroutine_handle<> awaiting) const;
    void await_resume() const noexcept {}

private:
    QNetworkReply* m_reply;
};

} // namespace lumi
