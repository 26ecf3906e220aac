#pragma once

#include <cstdlib>
#include <memory>

namespace lumi {

/// xcb hands replies, events and errors over to the caller, who frees them with free().
struct XcbFree
{
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T> using XcbOwned = std::unique_ptr<T, XcbFree>;

} // namespace lumi
