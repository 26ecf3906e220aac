#pragma once

#include <QtGlobal>

namespace lumi {

/// A process held by a pidfd: a signal sent through it reaches that process or nothing, never
/// one that was given the same id after it ended.
class PidFd final
{
public:
    PidFd() = default;
    PidFd(PidFd&& other) noexcept;
    PidFd& operator=(PidFd&& other) noexcept;
    PidFd(const PidFd&) = delete;
    PidFd& operator=(const PidFd&) = delete;
    ~PidFd();

    /// Holds the process that has the id now; invalid when there is none.
    static PidFd open(qint64 pid);

    bool isValid() const { return m_fd >= 0; }
    /// Whether the process has not ended yet; one that has ended but not been reaped has ended.
    bool isAlive() const;
    /// False when the signal could not be sent, among others because the process has ended.
    bool send(int signal) const;

private:
    explicit PidFd(int fd) : m_fd(fd) {}

    int m_fd = -1;
};

} // namespace lumi
