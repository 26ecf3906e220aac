#pragma once

namespace lumi {

struct CrashReport;

/// Where a part of the app hands a non-fatal problem it met: the crash reporter in the app.
class ProblemSink
{
public:
    virtual ~ProblemSink() = default;

    /// Never throws and returns at once.
    virtual void report(const CrashReport& report) = 0;
};

} // namespace lumi
