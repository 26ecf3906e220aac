#pragma once

#include <QString>

namespace lumi {

/// The process's last words: a fatal signal or an uncaught C++ exception leaves a crash file in
/// the data folder, which the next launch reports.
class CrashHandlers
{
public:
    virtual ~CrashHandlers() = default;

    /// Arms the handlers once per process (later calls do nothing); the files go into `folder`
    /// and name `version` as the version that crashed. Runs on the main thread; never fails to
    /// the caller.
    virtual void install(const QString& folder, const QString& version) = 0;
};

} // namespace lumi
