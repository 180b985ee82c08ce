#include "net/addresses_seen.h"

namespace velt {

AddressesSeen::Seen AddressesSeen::Note(const std::string& address) {
    if (addresses_.count(address)) return Seen::Again;
    if (addresses_.size() >= capacity_) return Seen::Unremembered;
    addresses_.insert(address);
    return Seen::First;
}

}  // namespace velt
