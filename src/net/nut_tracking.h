#pragma once
// The outcomes of instant commands, by the id a client tracks them with
// (SET TRACKING ON, then GET TRACKING <id>). Ids are random UUIDs, so one
// client cannot guess another's. Only the last `kept` are remembered; an
// older id is unknown again. Any thread.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace velt {

enum class NutCommandState { Pending, Success, Failed };

// A version 4 UUID in its usual text: 8-4-4-4-12 lower-case hexadecimal digits.
std::string NutTrackingId(uint64_t high, uint64_t low);

class NutTracking {
public:
    static constexpr size_t kKept = 64;

    explicit NutTracking(size_t kept = kKept);

    // A new id, pending until Finish.
    std::string Start();
    void Finish(const std::string& id, bool succeeded);
    // None for an id never given or no longer kept.
    std::optional<NutCommandState> State(const std::string& id) const;

private:
    struct Entry {
        std::string id;
        NutCommandState state;
    };

    const size_t kept_;
    mutable std::mutex mutex_;
    std::deque<Entry> entries_;  // oldest first
    std::mt19937_64 random_;
};

}  // namespace velt
