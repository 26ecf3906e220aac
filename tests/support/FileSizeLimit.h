#pragma once

#include <sys/resource.h>

namespace lumi::test {

/// While it lives, no file of this process (or of children started meanwhile) may grow past the
/// limit: a write beyond it fails with EFBIG, as on a disk that has filled up. The signal such a
/// write raises is ignored meanwhile, so the write fails instead of ending the test.
class FileSizeLimit final
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return m_active; }

private:
    rlimit m_saved{};
    bool m_active = false;
};

} // namespace lumi::test
