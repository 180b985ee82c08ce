#include "sys/thread_stack.h"

#include <windows.h>

#include <cstdint>

namespace velt {

namespace {

// Left alone below the present frame: VirtualAlloc's own frames lie there
// while it runs.
constexpr uintptr_t kMargin = 64 * 1024;
constexpr uintptr_t kPage = 4096;

// The lowest committed page of the stack: above the reserved pages and the
// guard page the stack grows into. Zero when there is none below `below`.
uintptr_t LowestCommitted(uintptr_t low, uintptr_t below) {
    MEMORY_BASIC_INFORMATION region{};
    for (uintptr_t at = low; at < below; at += region.RegionSize) {
        if (VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof region) != sizeof region) return 0;
        at = reinterpret_cast<uintptr_t>(region.BaseAddress);
        if (region.State == MEM_COMMIT && region.Protect == PAGE_READWRITE) return at;
    }
    return 0;
}

}  // namespace

// MEM_RESET keeps the pages committed but lets the system drop their
// contents; the stack below the present frame holds nothing live. The stack
// is one allocation, from its reserved bottom to the thread's first frame.
void ReleaseUnusedStack() {
    volatile char here = 0;
    const uintptr_t frame = reinterpret_cast<uintptr_t>(&here);
    MEMORY_BASIC_INFORMATION stack{};
    if (VirtualQuery(const_cast<char*>(&here), &stack, sizeof stack) != sizeof stack) return;
    const uintptr_t low = reinterpret_cast<uintptr_t>(stack.AllocationBase);
    if (frame < low + kMargin + kPage) return;
    const uintptr_t to = (frame - kMargin) & ~(kPage - 1);
    const uintptr_t from = LowestCommitted(low, to);
    if (from != 0 && from < to) VirtualAlloc(reinterpret_cast<void*>(from), to - from, MEM_RESET, PAGE_READWRITE);
}

}  // namespace velt
