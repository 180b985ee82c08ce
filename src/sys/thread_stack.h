#pragma once
// A long-lived thread that sleeps most of the time can give back the pages of
// its stack that lie below its present frame: they hold nothing live. Under
// Wine every thread's stack comes with about a megabyte already touched, which
// an idle thread would otherwise keep for its whole life.

namespace velt {

// Releases the calling thread's stack pages below its caller's frame (less a
// margin for the calls under way); they come back zeroed if used again.
// Cheap enough to call before each long wait; does nothing where the system
// gives no way to do it.
void ReleaseUnusedStack();

}  // namespace velt
