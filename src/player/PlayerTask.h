#pragma once

#include <QCoroTask>

namespace lumi {

/// Starts a player task nobody waits for; its end is the one place a failure is logged.
class PlayerTask final
{
public:
    PlayerTask() = delete;

    static void start(QCoro::Task<void> task);

private:
    static QCoro::Task<void> settle(QCoro::Task<void> task);
};

} // namespace lumi
