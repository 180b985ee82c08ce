#pragma once
// The "NUT Allowed Hosts" rule: which peers may talk to the NUT server. A
// comma-separated list of IPv4 or IPv6 addresses and address/prefix ranges;
// blanks around entries are ignored and an empty list admits everyone. An
// IPv4 peer reaching a dual-stack listener as ::ffff:a.b.c.d matches the
// IPv4 entries.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class NutAllowedHosts {
public:
    explicit NutAllowedHosts(std::string_view list);

    // `peer` as the socket gives it, e.g. "192.0.2.7", "::ffff:192.0.2.7", "fe80::1%2".
    // A list none of whose entries could be read admits no one: its author
    // meant to restrict, and the bad entries are reported by Ignored().
    bool Allows(std::string_view peer) const;
    // The entries that are neither an address nor a range, as written, for the log.
    const std::vector<std::string>& Ignored() const { return ignored_; }

private:
    // Every address as IPv6, IPv4 ones mapped, so one comparison serves both.
    struct Range {
        std::array<uint8_t, 16> address;
        unsigned prefix;  // leading bits that must match
    };
    bool any_ = true;
    std::vector<Range> ranges_;
    std::vector<std::string> ignored_;
};

}  // namespace velt
