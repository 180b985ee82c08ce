#pragma once
// Failed logins per peer address: once an address has failed `failures` times
// within `window`, its logins are refused unchecked for `block`, which makes
// guessing the password slow. At most `addresses` are remembered; a new one
// past that makes the one that failed longest ago forgotten.
#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <unordered_map>

namespace velt {

struct NutLoginLimits {
    size_t failures = 5;
    std::chrono::milliseconds window{60000};
    std::chrono::milliseconds block{60000};
    size_t addresses = 256;
};

class NutLoginGuard {
public:
    using Clock = std::chrono::steady_clock;

    explicit NutLoginGuard(NutLoginLimits limits) : limits_(limits) {}

    bool Blocked(const std::string& address, Clock::time_point now) const;
    // Counts a failure; true when it is the one that starts the address's block.
    bool Failed(const std::string& address, Clock::time_point now);

private:
    struct Record {
        std::deque<Clock::time_point> failures;  // within the window, oldest first
        Clock::time_point blockedUntil{};
    };
    void ForgetOldest();

    NutLoginLimits limits_;
    std::unordered_map<std::string, Record> records_;
};

}  // namespace velt
