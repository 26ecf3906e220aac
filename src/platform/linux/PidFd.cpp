#include "platform/linux/PidFd.h"

#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <utility>

namespace lumi {

PidFd::PidFd(PidFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

PidFd& PidFd::operator=(PidFd&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

PidFd::~PidFd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

PidFd PidFd::open(qint64 pid)
{
    if (pid <= 0)
        return PidFd();
    // Through syscall(2): glibc 2.36's <sys/pidfd.h> declares its wrappers without C linkage.
    return PidFd(int(::syscall(SYS_pidfd_open, pid_t(pid), 0U)));
}

bool PidFd::isAlive() const
{
    if (m_fd < 0)
        return false;
    // A pidfd becomes readable when its process ends.
    pollfd watch{.fd = m_fd, .events = POLLIN, .revents = 0};
    return ::poll(&watch, 1, 0) == 0;
}

bool PidFd::send(int signal) const
{
    return m_fd >= 0 && ::syscall(SYS_pidfd_send_signal, m_fd, signal, nullptr, 0U) == 0;
}

} // namespace lumi
