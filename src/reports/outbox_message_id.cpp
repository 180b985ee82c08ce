#include "reports/outbox_message_id.h"

#include <cinttypes>
#include <cstdio>
#include <random>

namespace velt {

std::string OutboxMessageIds::Next(int64_t createdUtc) {
    char id[80];
    std::snprintf(id, sizeof id, "%" PRIx64 ".%016" PRIx64 ".%" PRIu64, static_cast<uint64_t>(createdUtc), seed_,
                  ++count_);
    return id;
}

uint64_t RandomRunSeed() {
    std::random_device source;
    return (static_cast<uint64_t>(source()) << 32) ^ source();
}

}  // namespace velt
