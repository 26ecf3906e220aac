#include "platform/linux/PosixCrashHandlers.h"

#include "model/CrashFile.h"

#include <QSaveFile>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <dlfcn.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int caughtSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGABRT};
constexpr int maxFrames = 128;
constexpr size_t alternateStackSize = 256 * 1024;
// A faulting thread that finds another one writing waits this long for it to end the process.
constexpr int writerWaitSteps = 100;
constexpr timespec writerWaitStep{0, 50'000'000};

// Written once by install, before any handler can run; read-only afterwards.
const char* g_signalPath = nullptr;
const char* g_header = nullptr;
size_t g_headerLength = 0;
void* g_frames[maxFrames];
char g_digits[32];
QString* g_exceptionPath = nullptr;
QByteArray* g_headerText = nullptr;
std::terminate_handler g_previousTerminate = nullptr;

// The thread writing the signal file; 0 until the first caught signal.
std::atomic<pid_t> g_writer{0};
static_assert(std::atomic<pid_t>::is_always_lock_free);

void writeAll(int fd, const char* data, size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        length -= size_t(written);
    }
}

void writeNumber(int fd, const char* prefix, unsigned long value)
{
    writeAll(fd, prefix, strlen(prefix));
    char* end = g_digits + sizeof g_digits;
    char* at = end - 1;
    *at = '\n';
    do {
        *--at = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    writeAll(fd, at, size_t(end - at));
}

void writeSignalFile(int sig)
{
    const int fd = ::open(g_signalPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    writeAll(fd, g_header, g_headerLength);
    writeNumber(fd, "signal ", unsigned(sig));
    writeNumber(fd, "time ", static_cast<unsigned long>(::time(nullptr)));
    writeAll(fd, "--\n", 3);
    const int count = backtrace(g_frames, maxFrames);
    backtrace_symbols_fd(g_frames, count, fd);
    ::close(fd);
}

void handleSignal(int sig)
{
    const auto self = pid_t(::syscall(SYS_gettid));
    pid_t writer = 0;
    if (g_writer.compare_exchange_strong(writer, self)) {
        writeSignalFile(sig);
    } else if (writer != self) {
        // The writer ends the process once its file is complete; dying now would cut it short.
        for (int step = 0; step < writerWaitSteps; ++step)
            nanosleep(&writerWaitStep, nullptr);
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

QString exceptionType()
{
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (!type)
        return QString();
    int status = -1;
    char* demangled = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
    const QString name = QString::fromUtf8(status == 0 && demangled ? demangled : type->name());
    std::free(demangled);
    return name;
}

QString exceptionReason()
{
    try {
        std::rethrow_exception(std::current_exception());
    } catch (const std::exception& exception) {
        return QString::fromUtf8(exception.what());
    } catch (...) {
        return QString();
    }
}

bool inCppRuntime(void* address)
{
    Dl_info info{};
    return dladdr(address, &info) != 0 && info.dli_fname && std::strstr(info.dli_fname, "libstdc++");
}

/// Where the throw happened: past this handler's frames and the C++ runtime's terminate and throw
/// frames that called it. Without them every uncaught exception would share one fingerprint.
int throwSite(void* const* frames, int count)
{
    int at = 0;
    while (at < count && !inCppRuntime(frames[at]))
        ++at;
    if (at == count)
        return 0;
    while (at < count && inCppRuntime(frames[at]))
        ++at;
    return at;
}

QByteArray symbolizedFrames()
{
    void* frames[maxFrames];
    const int count = backtrace(frames, maxFrames);
    const int first = throwSite(frames, count);
    char** symbols = backtrace_symbols(frames + first, count - first);
    QByteArray lines;
    for (int i = 0; symbols && i < count - first; ++i)
        lines += QByteArray(symbols[i]) + '\n';
    std::free(static_cast<void*>(symbols));
    return lines;
}

[[noreturn]] void handleTerminate()
{
    if (const QString type = exceptionType(); !type.isEmpty()) {
        QSaveFile file(*g_exceptionPath);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(CrashFile::exceptionText(*g_headerText, type, exceptionReason(),
                                                qint64(::time(nullptr)), symbolizedFrames()));
            file.commit();
        }
    }
    // The runtime's own handler prints the exception to stderr before it aborts.
    if (g_previousTerminate)
        g_previousTerminate();
    std::abort();
}

int collectMainObject(dl_phdr_info* info, size_t, void* data)
{
    *static_cast<quint64*>(data) = quint64(info->dlpi_addr);
    return 1; // the first object listed is the executable
}

char* heapCopy(const QByteArray& bytes)
{
    auto* copy = new char[size_t(bytes.size()) + 1];
    std::memcpy(copy, bytes.constData(), size_t(bytes.size()) + 1);
    return copy;
}

} // namespace

void PosixCrashHandlers::install(const QString& folder, const QString& version)
{
    if (g_signalPath)
        return;
    quint64 base = 0;
    dl_iterate_phdr(collectMainObject, &base);
    g_headerText = new QByteArray(CrashFile::header(base, version));
    g_header = heapCopy(*g_headerText);
    g_headerLength = size_t(g_headerText->size());
    g_exceptionPath = new QString(CrashFile::exceptionFile(folder));
    g_signalPath = heapCopy(CrashFile::signalFile(folder).toLocal8Bit());
    // The first call loads the unwinder and allocates; inside a handler that could deadlock.
    backtrace(g_frames, maxFrames);

    stack_t stack{};
    stack.ss_sp = new char[alternateStackSize];
    stack.ss_size = alternateStackSize;
    sigaltstack(&stack, nullptr);

    struct sigaction action
    {
    };
    action.sa_handler = handleSignal;
    action.sa_flags = SA_ONSTACK;
    // A second caught signal on the writing thread waits until the file is complete.
    sigemptyset(&action.sa_mask);
    for (const int sig : caughtSignals)
        sigaddset(&action.sa_mask, sig);
    for (const int sig : caughtSignals)
        sigaction(sig, &action, nullptr);
    g_previousTerminate = std::set_terminate(handleTerminate);
}

} // namespace lumi
