#include "sys/thread_stack.h"

namespace velt {

// The native tree runs the tests only: no idle thread there to trim.
void ReleaseUnusedStack() {}

}  // namespace velt
