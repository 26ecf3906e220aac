#include "settings/SettingChange.h"

#include "widgets/ViewTask.h"

#include <QObject>
#include <QPointer>

#include <exception>

namespace lumi {

namespace {

QCoro::Task<void> showAfter(QPointer<QObject> view, QCoro::Task<void> setter, std::function<void()> showAgain)
{
    std::exception_ptr failure;
    try {
        co_await setter;
    } catch (...) {
        failure = std::current_exception();
    }
    if (view)
        showAgain();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

void SettingChange::start(AppModel& model, QObject& view, QCoro::Task<void> setter,
                          std::function<void()> showAgain)
{
    ViewTask::start(model, showAfter(QPointer<QObject>(&view), std::move(setter), std::move(showAgain)));
}

} // namespace lumi
