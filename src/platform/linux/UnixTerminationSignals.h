#pragma once

#include "platform/TerminationRequests.h"

#include <array>
#include <csignal>

class QSocketNotifier;

namespace lumi {

/// SIGTERM, SIGINT and SIGHUP as termination requests. The handler only writes a byte into a
/// socket pair; the main thread reads it and announces the request. One at a time per process.
class UnixTerminationSignals final : public TerminationRequests
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UnixTerminationSignals)

public:
    explicit UnixTerminationSignals(QObject* parent = nullptr);
    /// Puts the handlers that were there before back.
    ~UnixTerminationSignals() override;

    bool isInstalled() const { return m_installed; }

private:
    static void handle(int signal);

    std::array<int, 2> m_pair{-1, -1};
    std::array<struct sigaction, 3> m_previous{};
    QSocketNotifier* m_notifier = nullptr;
    bool m_installed = false;
};

} // namespace lumi
