// Allocation of the dense work arrays of the dynamics, whose size comes from the model.
#pragma once

#include <new>
#include <vector>

#include "platform/Memory.h"

// Sizes v to count zeroed doubles; false (v untouched or empty, nothing shown) when that
// much memory is not available.
inline bool AllocateZeroed(std::vector<double>& v, double count) {
    try {
        if (!FitsInMemory(8.0 * count)) return false;
        v.assign(static_cast<size_t>(count), 0.0);
    } catch (const std::bad_alloc&) {
        v.clear();
        return false;
    }
    return true;
}
