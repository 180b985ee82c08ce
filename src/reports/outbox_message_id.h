#pragma once
// Message ids for the outbox: unique across runs (a random part drawn once
// per run, the time and a counter), of letters, digits and single dots only,
// so that an e-mail can carry one as its Message-ID's local part.
#include <cstdint>
#include <string>

namespace velt {

class OutboxMessageIds {
public:
    // `runSeed`: random, drawn at start (tests give their own).
    explicit OutboxMessageIds(uint64_t runSeed) : seed_(runSeed) {}
    // Any one thread at a time.
    std::string Next(int64_t createdUtc);

private:
    uint64_t seed_;
    uint64_t count_ = 0;
};

// A seed from the system's random source.
uint64_t RandomRunSeed();

}  // namespace velt
