#pragma once
// The worker's side of a UPS read from a NUT server: connects and logs in
// when allowed, reads the variables once per poll, sends a queued instant
// command, and leaves what it found for the main thread. Every network call
// is bounded by the client's limits.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "core/read_data.h"
#include "net/nut_client.h"
#include "status/nut_reading.h"
#include "sys/clock.h"

namespace velt {

struct NutTarget {
    std::string host;
    uint16_t port = 3493;
    std::string ups, user, password;
    bool attach = true;  // LOGIN after the password: a client the server waits for

    bool operator==(const NutTarget&) const = default;
    // "ups@host:3493", as the status bar and the log name it.
    std::string Where() const;
};

// What the main thread asks of the worker.
struct NutRequest {
    bool monitoring = false;
    NutTarget target;
    // A connect may be tried on the next poll: at a start, on the main
    // thread's reconnect rule, and once at once after a working connection broke.
    bool connectAllowed = false;
    uint32_t intervalMs = 3000;
    std::optional<std::string> command;  // an instant command to send before the next reading
};

struct NutCommandOutcome {
    std::string command;
    std::string error;  // empty when the server accepted it
};

// What the worker found.
struct NutFindings {
    std::optional<NutVariableTable> variables;  // the last poll's; none when it gave none
    LocalDateTime when;
    bool connected = false;
    std::string problem;       // why the last poll gave nothing; empty once one gave a reading
    std::string loginRefusal;  // the server's answer to a refused login
    std::set<std::string> commands;  // the instant commands offered at the connect
    std::optional<NutCommandOutcome> commandOutcome;  // taken by the main thread
};

struct NutShared {
    std::mutex mutex;
    NutRequest request;
    NutFindings findings;
};

class NutPoll final : public IWorkerPoll {
public:
    NutPoll(NutShared& shared, const IClock& clock, NutClientLimits limits = {})
        : shared_(shared), clock_(clock), limits_(limits), client_(std::make_unique<NutClient>(limits)) {}

    // Before a worker starts on it: a fresh client, as an interrupted one
    // stays abandoned.
    void Rearm();

    PollStep Poll() override;
    // LOGOUT, so the server's primary stops counting this computer.
    void Finish() override { client_->Logout(); }
    // A call under way is cut short; an idle worker keeps its connection for
    // the LOGOUT.
    void Interrupt() override;

private:
    bool ConnectTo(const NutRequest& request);
    void RunCommand(const std::string& ups, const std::string& command);
    void Found(NutVariableTable variables);
    void Failed(const std::string& problem, bool gaveReadings);

    NutShared& shared_;
    const IClock& clock_;
    NutClientLimits limits_;
    std::unique_ptr<NutClient> client_;
    NutTarget target_;  // the one connected to
    bool readSinceConnect_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> busy_{false};
};

}  // namespace velt
