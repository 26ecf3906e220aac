#include "widgets/ViewTask.h"

#include "state/ErrorSink.h"

#include <QPointer>

#include <exception>

namespace lumi {

namespace {

QCoro::Task<void> settle(QPointer<ErrorSink> errors, QCoro::Task<void> task)
{
    std::exception_ptr failure;
    try {
        co_await task;
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure && errors)
        errors->handleActionError(failure);
}

} // namespace

void ViewTask::start(ErrorSink& errors, QCoro::Task<void> task)
{
    // The returned task is dropped on purpose: settle is where it ends.
    settle(QPointer<ErrorSink>(&errors), std::move(task));
}

} // namespace lumi
