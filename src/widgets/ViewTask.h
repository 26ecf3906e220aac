#pragma once

#include <QCoroTask>

namespace lumi {

class AppModel;

/// Starts a task that a view does not wait for. Its end is the one place its failure is handled:
/// the model's error sink, as long as the model lives.
class ViewTask final
{
public:
    ViewTask() = delete;

    static void start(AppModel& model, QCoro::Task<void> task);
    /// The result of the task is not needed.
    template <typename T> static void start(AppModel& model, QCoro::Task<T> task)
    {
        start(model, discard(std::move(task)));
    }

private:
    template <typename T> static QCoro::Task<void> discard(QCoro::Task<T> task) { co_await task; }
};

} // namespace lumi
