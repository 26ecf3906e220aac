#include "widgets/ViewTask.h"

#include "state/AppModel.h"

#include <QPointer>

#include <exception>

namespace lumi {

namespace {

QCoro::Task<void> settle(QPointer<AppModel> model, QCoro::Task<void> task)
{
    std::exception_ptr failure;
    try {
        co_await task;
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure && model)
        model->handleActionError(failure);
}

} // namespace

void ViewTask::start(AppModel& model, QCoro::Task<void> task)
{
    // The returned task is dropped on purpose: settle is where it ends.
    settle(QPointer<AppModel>(&model), std::move(task));
}

} // namespace lumi
