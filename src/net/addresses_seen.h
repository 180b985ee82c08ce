#pragma once
// Peer addresses remembered so each is reported once, up to a bound: past it
// no more are remembered, so a host with endless addresses (IPv6 privacy
// addresses, say) cannot make it grow.
#include <cstddef>
#include <string>
#include <unordered_set>

namespace velt {

class AddressesSeen {
public:
    explicit AddressesSeen(size_t capacity) : capacity_(capacity) {}

    enum class Seen {
        First,         // remembered from now on
        Again,         // remembered before
        Unremembered,  // the bound is reached: it may or may not have been seen
    };
    Seen Note(const std::string& address);

private:
    size_t capacity_;
    std::unordered_set<std::string> addresses_;
};

}  // namespace velt
