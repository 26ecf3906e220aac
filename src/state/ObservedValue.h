#pragma once

#include <utility>

namespace lumi {

/// Stores the value of an observed property and emits the owner's change signal, only when the
/// value differs.
template <typename Owner, typename T, typename Signal>
void assignObserved(Owner& owner, T& field, T value, Signal signal)
{
    if (field == value)
        return;
    field = std::move(value);
    emit(owner.*signal)();
}

} // namespace lumi
