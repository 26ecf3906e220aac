#pragma once

namespace lumi::bench {

/// This process's resident set in MiB, as the kernel counts it (VmRSS); 0 when unreadable.
double residentMiB();
/// The machine's load average over the last minute, as /proc/loadavg has it; -1 when unreadable.
/// Printed beside a figure, it tells a slow run on a busy machine from a slow program.
double machineLoad();

} // namespace lumi::bench
