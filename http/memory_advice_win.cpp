// Large body buffers on Windows: large pages need a privilege ordinary users lack; no hint.
#include "http/memory_advice.h"

namespace corvane {

void AdviseLargeBuffer(void*, size_t) {}

}  // namespace corvane
