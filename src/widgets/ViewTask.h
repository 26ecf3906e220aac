#pragma once

#include <QCoroTask>

namespace lumi {

class ErrorSink;

/// Starts a task that a view does not wait for. Its end is the one place its failure is handled:
/// the error sink, as long as the sink lives.
class ViewTask final
{
public:
    ViewTask() = delete;

    static void start(ErrorSink& errors, QCoro::Task<void> task);
    /// The result of the task is not needed.
    template <typename T> static void start(ErrorSink& errors, QCoro::Task<T> task)
    {
        start(errors, discard(std::move(task)));
    }

private:
    template <typename T> static QCoro::Task<void> discard(QCoro::Task<T> task) { co_await task; }
};

} // namespace lumi
