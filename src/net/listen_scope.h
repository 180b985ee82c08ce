#pragma once
// Where a server listens: every local address, or this computer alone.

namespace velt {

enum class ListenScope { AllAddresses, Loopback };

}  // namespace velt
