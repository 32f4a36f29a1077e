// Hints to the platform about large blocks of memory the engine is about to fill.
#pragma once

#include <cstddef>

namespace corvane {

// A body buffer of `size` bytes at `data` will be written front to back: where the platform
// can, back it with large pages so that filling it costs fewer page faults.
void AdviseLargeBuffer(void* data, size_t size);

}  // namespace corvane
