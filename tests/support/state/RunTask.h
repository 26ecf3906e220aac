#pragma once

#include "model/APIError.h"

#include <QCoroTask>
#include <QEventLoop>

#include <exception>
#include <optional>

namespace lumi::test {

/// Runs a task to its end in a nested event loop (test code only) and hands back what it threw.
/// QCoro::waitFor would never return from a task that throws.
inline std::exception_ptr runTask(QCoro::Task<void> task)
{
    QEventLoop loop;
    bool done = false;
    std::exception_ptr error;
    auto watch = [](QCoro::Task<void> task, QEventLoop& loop, bool& done,
                    std::exception_ptr& error) -> QCoro::Task<void> {
        try {
            co_await task;
        } catch (...) {
            error = std::current_exception();
        }
        done = true;
        loop.quit();
    }(std::move(task), loop, done, error);
    if (!done)
        loop.exec();
    return error;
}

template <typename T> std::exception_ptr runTask(QCoro::Task<T> task, std::optional<T>& result)
{
    auto keep = [](QCoro::Task<T> task, std::optional<T>& result) -> QCoro::Task<void> {
        result = co_await task;
    };
    return runTask(keep(std::move(task), result));
}

/// The APIError in a failure; none when there was no failure or it was something else.
inline std::optional<APIError> apiErrorOf(std::exception_ptr failure)
{
    if (!failure)
        return std::nullopt;
    try {
        std::rethrow_exception(failure);
    } catch (const APIError& error) {
        return error;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace lumi::test
