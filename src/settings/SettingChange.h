#pragma once

#include <QCoroTask>

#include <functional>

class QObject;

namespace lumi {

class AppModel;

/// One change a settings control sends: a task the view does not wait for, after which the
/// control shows the stored record again. A refused change thus springs back, and a view that is
/// gone by then is left alone.
class SettingChange final
{
public:
    SettingChange() = delete;

    static void start(AppModel& model, QObject& view, QCoro::Task<void> setter,
                      std::function<void()> showAgain);
};

} // namespace lumi
