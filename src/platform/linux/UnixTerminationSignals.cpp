#include "platform/linux/UnixTerminationSignals.h"

#include "model/AppLog.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr std::array handledSignals{SIGTERM, SIGINT, SIGHUP};
// The write end for the handler; only async-signal-safe calls may touch it there.
volatile std::sig_atomic_t writeEnd = -1;

} // namespace

UnixTerminationSignals::UnixTerminationSignals(QObject* parent) : TerminationRequests(parent)
{
    const AppLog log(u"app"_s);
    if (writeEnd != -1) {
        log.error(u"termination signals are already handled elsewhere in this process"_s);
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_pair.data()) != 0) {
        log.error(u"can't make the socket pair for termination signals; they will end the app at once"_s);
        return;
    }
    writeEnd = m_pair[0];
    m_notifier = new QSocketNotifier(m_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(m_pair[1], &byte, 1) == 1) {
        }
        emit requested();
    });

    struct sigaction action = {};
    action.sa_handler = &UnixTerminationSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_installed = true;
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        const int signal = handledSignals[i];
        if (::sigaction(signal, &action, &m_previous[i]) != 0) {
            log.error(u"can't handle signal %1"_s.arg(signal));
            m_installed = false;
        }
    }
}

UnixTerminationSignals::~UnixTerminationSignals()
{
    if (m_pair[0] == -1)
        return;
    for (std::size_t i = 0; i < handledSignals.size(); ++i)
        ::sigaction(handledSignals[i], &m_previous[i], nullptr);
    writeEnd = -1;
    delete m_notifier;
    ::close(m_pair[0]);
    ::close(m_pair[1]);
}

void UnixTerminationSignals::handle(int)
{
    const int fd = writeEnd;
    if (fd == -1)
        return;
    const char byte = 1;
    // Nothing to do when it fails: a full pipe already holds a request.
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
}

} // namespace lumi
