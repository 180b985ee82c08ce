#include "net/nut_hosts.h"

#include <charconv>
#include <optional>

#include "core/blank_trim.h"
#include "net/asio.h"

namespace velt {

namespace {

using Bytes = std::array<uint8_t, 16>;
constexpr unsigned kMappedPrefix = 96;  // ::ffff:0:0/96 holds the IPv4 addresses

struct Parsed {
    Bytes bytes;
    unsigned width;  // the bits a prefix may name: 32 for IPv4, 128 for IPv6
};

std::optional<Parsed> ParseAddress(std::string_view text) {
    boost::system::error_code ec;
    const auto address = boost::asio::ip::make_address(std::string(text), ec);
    if (ec) return std::nullopt;
    if (address.is_v4()) {
        const auto v4 = address.to_v4().to_bytes();
        Bytes mapped{};
        mapped[10] = mapped[11] = 0xff;
        std::copy(v4.begin(), v4.end(), mapped.begin() + 12);
        return Parsed{mapped, 32};
    }
    return Parsed{address.to_v6().to_bytes(), 128};
}

bool Matches(const Bytes& address, const Bytes& range, unsigned prefix) {
    for (unsigned i = 0; i < 16 && prefix > 0; ++i) {
        const unsigned bits = prefix >= 8 ? 8 : prefix;
        const auto mask = static_cast<uint8_t>(0xff00u >> bits);
        if ((address[i] ^ range[i]) & mask) return false;
        prefix -= bits;
    }
    return true;
}

}  // namespace

NutAllowedHosts::NutAllowedHosts(std::string_view list) {
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view entry = TrimBlanks(list.substr(start, comma - start));
        start = comma + 1;
        if (entry.empty()) continue;
        any_ = false;
        const size_t slash = entry.find('/');
        const auto address = ParseAddress(entry.substr(0, slash));
        unsigned bits = address ? address->width : 0;
        bool valid = address.has_value();
        if (valid && slash != std::string_view::npos) {
            const std::string_view digits = entry.substr(slash + 1);
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), bits);
            valid = !digits.empty() && ec == std::errc{} && end == digits.data() + digits.size() &&
                    bits <= address->width;
        }
        // An IPv4 range also fixes the 96 bits that map it into IPv6.
        if (valid) ranges_.push_back({address->bytes, address->width == 32 ? kMappedPrefix + bits : bits});
        else ignored_.emplace_back(entry);
    }
}

bool NutAllowedHosts::Allows(std::string_view peer) const {
    if (any_) return true;
    const auto address = ParseAddress(peer);
    if (!address) return false;
    for (const auto& range : ranges_)
        if (Matches(address->bytes, range.address, range.prefix)) return true;
    return false;
}

}  // namespace velt
