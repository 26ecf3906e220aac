#pragma once

#include "platform/CrashHandlers.h"

namespace lumi {

/// Fatal signals (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGABRT) through sigaction, uncaught
/// exceptions through std::set_terminate. Everything the signal path needs is prepared at install,
/// so it only makes system calls. The alternate stack belongs to the main thread, which installs:
/// a stack overflow of a worker thread is not captured (the kernel has no stack to run the handler
/// on), every other crash of any thread is.
class PosixCrashHandlers final : public CrashHandlers
{
public:
    void install(const QString& folder, const QString& version) override;
};

} // namespace lumi
