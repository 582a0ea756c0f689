#pragma once

#include <cstdint>

namespace vyr::bench {

// Heap allocations made by this process so far (every operator new).
std::uint64_t AllocationCount();

}  // namespace vyr::bench
