// A process that arms the crash handlers and then crashes the way its first argument names, in
// the folder its second argument names. Linked with -rdynamic so its frames carry their names.
#include "platform/linux/PosixCrashHandlers.h"

#include <QString>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

extern "C" {

// An address the compiler cannot see through, so the store is really made.
int* volatile nowhere = nullptr;

__attribute__((noinline)) void crashBySegv()
{
    *nowhere = 1;
}

__attribute__((noinline)) void crashBySegvElsewhere()
{
    nowhere[4] = 2;
}

__attribute__((noinline)) void crashByBus(const char* folder)
{
    const std::string path = std::string(folder) + "/truncated";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || ftruncate(fd, 8192) != 0)
        std::exit(3);
    auto* mapped = static_cast<volatile char*>(mmap(nullptr, 8192, PROT_READ, MAP_SHARED, fd, 0));
    if (mapped == MAP_FAILED || ftruncate(fd, 0) != 0)
        std::exit(3);
    std::printf("%d", mapped[4096]);
}

__attribute__((noinline)) void crashByIllegalInstruction()
{
    __builtin_trap();
}

volatile int zero = 0;

__attribute__((noinline)) void crashByDivision()
{
    volatile int result = 10 / zero;
    std::printf("%d", result);
}

__attribute__((noinline)) void crashByTrap()
{
    raise(SIGTRAP);
    asm volatile("");
}

__attribute__((noinline)) void crashByAbort()
{
    // abort() itself never returns, so its caller's return address would name the next function.
    raise(SIGABRT);
    asm volatile("");
}

volatile int deepest = -1;

__attribute__((noinline)) int crashByOverflow(int depth)
{
    if (depth == deepest)
        return 0;
    volatile char frame[4096];
    frame[0] = char(depth);
    return crashByOverflow(depth + 1) + frame[0];
}

__attribute__((noinline)) void crashByException()
{
    std::string reason;
    for (int line = 0; line < 30; ++line)
        reason += std::string(49, char('a' + line % 26)) + '\n';
    throw std::runtime_error(reason);
}

pthread_barrier_t bothReady;

void* crashTogether(void*)
{
    pthread_barrier_wait(&bothReady);
    crashBySegvElsewhere();
    return nullptr;
}

__attribute__((noinline)) void crashInTwoThreads()
{
    pthread_barrier_init(&bothReady, nullptr, 2);
    pthread_t other;
    pthread_create(&other, nullptr, crashTogether, nullptr);
    pthread_barrier_wait(&bothReady);
    crashBySegv();
}
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    lumi::PosixCrashHandlers handlers;
    handlers.install(QString::fromLocal8Bit(argv[2]), QStringLiteral("9.9.9"));
    handlers.install(QStringLiteral("/nonexistent"), QStringLiteral("0.0.0"));

    const std::string how = argv[1];
    if (how == "segv")
        crashBySegv();
    else if (how == "segv-elsewhere")
        crashBySegvElsewhere();
    else if (how == "bus")
        crashByBus(argv[2]);
    else if (how == "ill")
        crashByIllegalInstruction();
    else if (how == "fpe")
        crashByDivision();
    else if (how == "trap")
        crashByTrap();
    else if (how == "abort")
        crashByAbort();
    else if (how == "overflow")
        return crashByOverflow(0);
    else if (how == "exception")
        crashByException();
    else if (how == "two-threads")
        crashInTwoThreads();
    return 1;
}
