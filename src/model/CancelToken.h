#pragma once

#include <QCoroTask>
#include <QObject>

#include <memory>

class QNetworkReply;

namespace lumi {

/// The shared state behind a CancelToken: emits cancelled() once.
class CancelSignal final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CancelSignal)

public:
    CancelSignal() = default;
    bool isCancelled() const { return m_cancelled; }
    void cancel();

signals:
    void cancelled();

private:
    bool m_cancelled = false;
};

/// Cooperative cancellation for coroutines: checked between steps, it also aborts the in-flight
/// network reply and wakes cancellable sleeps. Copies share one state.
class CancelToken final
{
public:
    CancelToken() : m_state(std::make_shared<CancelSignal>()) {}

    void cancel() const { m_state->cancel(); }
    bool isCancelled() const { return m_state->isCancelled(); }
    /// Emits cancelled() when cancel() is first called.
    CancelSignal* signal() const { return m_state.get(); }
    /// Aborts the reply as soon as this token is cancelled (at once when it already is).
    void abortOnCancel(QNetworkReply* reply) const;
    /// Resumes once the token is cancelled (at once when it already is): a token also serves as a
    /// latch one task fires and others wait for.
    static QCoro::Task<void> untilCancelled(CancelToken token);

private:
    std::shared_ptr<CancelSignal> m_state;
};

} // namespace lumi
