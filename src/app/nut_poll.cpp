#include "app/nut_poll.h"

#include <utility>

namespace velt {

std::string NutTarget::Where() const { return ups + "@" + host + ":" + std::to_string(port); }

namespace {

// Marks the worker inside a network call while it lives.
struct BusyScope {
    std::atomic<bool>& busy;
    explicit BusyScope(std::atomic<bool>& b) : busy(b) { busy = true; }
    ~BusyScope() { busy = false; }
};

}  // namespace

void NutPoll::Rearm() {
    client_ = std::make_unique<NutClient>(limits_);
    target_ = {};
    stopping_ = false;
}

void NutPoll::Interrupt() {
    stopping_ = true;
    if (busy_) client_->Abandon();
}

PollStep NutPoll::Poll() {
    NutRequest request;
    {
        std::lock_guard<std::mutex> guard(shared_.mutex);
        request = shared_.request;
        shared_.request.command.reset();
    }
    PollStep step{std::nullopt, request.intervalMs};
    // Busy before the look at stopping_, Interrupt the other way round: one
    // of the two sees the other, so no call starts unseen after a stop.
    BusyScope busy(busy_);
    if (stopping_) return step;
    if (!request.monitoring || request.target != target_) client_->Logout();
    if (!request.monitoring) return step;
    step.message = WorkerMessage::FailedPoll;
    if (!client_->Connected() && !ConnectTo(request)) return step;
    if (request.command) RunCommand(request.target.ups, *request.command);
    NutListing listing = client_->ListVar(request.target.ups);
    if (!listing.Ok()) {
        Failed(listing.error, std::exchange(readSinceConnect_, false));
        return step;
    }
    readSinceConnect_ = true;
    Found(std::move(listing.variables));
    step.message = WorkerMessage::Reply;
    return step;
}

// A refused login still reads: the UPS is watched, and the status bar says
// the server's primary will not wait for this computer.
bool NutPoll::ConnectTo(const NutRequest& request) {
    if (!request.connectAllowed) return false;
    {
        std::lock_guard<std::mutex> guard(shared_.mutex);
        shared_.request.connectAllowed = false;
    }
    target_ = request.target;
    readSinceConnect_ = false;
    const NutClientResult connected = client_->Connect(target_.host, target_.port);
    if (!connected.Ok()) {
        Failed(connected.error, false);
        return false;
    }
    const NutClientResult login = client_->Login(target_.user, target_.password, target_.ups, target_.attach);
    const NutCommandList commands = client_->ListCmd(target_.ups);  // older servers list none
    std::lock_guard<std::mutex> guard(shared_.mutex);
    shared_.findings.connected = client_->Connected();
    shared_.findings.loginRefusal = login.error;
    shared_.findings.commands = commands.commands;
    return client_->Connected();
}

void NutPoll::RunCommand(const std::string& ups, const std::string& command) {
    const NutClientResult sent = client_->InstCmd(ups, command);
    std::lock_guard<std::mutex> guard(shared_.mutex);
    shared_.findings.commandOutcome = NutCommandOutcome{command, sent.error};
}

void NutPoll::Found(NutVariableTable variables) {
    const LocalDateTime now = clock_.Now();
    std::lock_guard<std::mutex> guard(shared_.mutex);
    shared_.findings.variables = std::move(variables);
    shared_.findings.when = now;
    shared_.findings.connected = true;
    shared_.findings.problem.clear();
}

// A connection that gave readings and broke gets one more try at once: a
// server restarted is back within a poll. One that breaks before its first
// reading waits for the main thread's reconnect rule, so a half-dead server
// is not dialled every poll. Refusals (ERR DATA-STALE) keep the connection.
void NutPoll::Failed(const std::string& problem, bool gaveReadings) {
    std::lock_guard<std::mutex> guard(shared_.mutex);
    shared_.findings.variables.reset();
    shared_.findings.connected = client_->Connected();
    shared_.findings.problem = problem;
    if (gaveReadings && !client_->Connected()) shared_.request.connectAllowed = true;
}

}  // namespace velt
