#include "player/PlayerTask.h"

#include "model/AppLog.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace lumi {

void PlayerTask::start(QCoro::Task<void> task)
{
    // The returned task is dropped on purpose: settle is where it ends.
    settle(std::move(task));
}

QCoro::Task<void> PlayerTask::settle(QCoro::Task<void> task)
{
    try {
        co_await task;
    } catch (const std::exception& error) {
        AppLog(u"player"_s).error(u"player task failed: "_s + QString::fromUtf8(error.what()));
    } catch (...) {
        AppLog(u"player"_s).error(u"player task failed"_s);
    }
}

} // namespace lumi
