#pragma once

namespace lumi::bench {

/// This process's resident set in MiB, as the kernel counts it (VmRSS); 0 when unreadable.
double residentMiB();

} // namespace lumi::bench
