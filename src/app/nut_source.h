#pragma once
// A UPS on another computer, read from its NUT server, as a reading source:
// the worker polls the server; the main thread turns each listing into the
// reading a local reply would give, and shows the connection, the identity
// and the commands the server offers.
#include <optional>
#include <set>
#include <string>

#include "app/nut_poll.h"
#include "app/worker_owner.h"
#include "core/detection.h"
#include "core/event_sink.h"
#include "core/feedback.h"
#include "core/ups_settings.h"
#include "status/nut_reading.h"
#include "status/reading_source.h"
#include "status/ups_tests.h"

namespace velt {

struct NutSourceDeps {
    const TUPSSettings& live;  // the server, its UPS and the login, read at each start
    IFeedback& feedback;       // the status bar
    IDetectionView& detection;
    IUPSTestView& tests;
    ILogSink& log;
    const IClock& clock;
};

// The instant command a test button sends; none for the timed test, which
// the NUT commands do not carry.
std::optional<std::string> NutCommandOf(UPSTestButton button);

// The server, port and UPS from the settings; none, with why, when they do
// not name one.
struct NutTargetOrWhy {
    std::optional<NutTarget> target;
    std::string why;
};
NutTargetOrWhy NutTargetOf(const TUPSSettings& live);
// 1..65535 written as a plain number; none for anything else.
std::optional<uint16_t> NutPortNumber(const std::string& text);

class NutSource final : public IReadingSource {
public:
    explicit NutSource(NutSourceDeps deps) : d_(deps), poll_(shared_, deps.clock) {}

    // The worker starts with the first connect; until then none runs.
    void SetWorkerHooks(ISleeper& workerSleeper, ReadData::Hooks hooks);
    // Ends the worker (with its LOGOUT); false when it did not end in time.
    bool StopWorker(IMessagePump& pump, ISleeper& sleeper) { return worker_.Stop(pump, sleeper); }
    // Queued for the worker's next poll; its outcome shows with a later reply.
    void SendCommand(const std::string& command);
    // Reads the service's server on this computer instead of the settings'
    // server, named "Veltrano service" in the status bar and the log.
    void WatchService(NutTarget service) { service_ = std::move(service); }

    bool Connect() override;
    bool Reconnect() override;
    SourceReply TakeReply() override;
    void StopPolling() override;
    bool Found() const override { return found_; }
    bool Monitoring() const override { return monitoring_; }
    void SetRefreshInterval(uint32_t ms) override;
    ShownDevice Device() const override;
    UpsIdentityText Identity() const override;
    IPollingWorker& Poller() override { return worker_; }
    bool Remote() const override { return true; }
    void OnFailedPoll() override;

private:
    NutFindings TakeFindings();
    std::string Label() const;
    void ShowConnection(const NutFindings& findings);
    void ShowCommands(const std::set<std::string>& offered);
    void ShowCommandOutcome(const NutCommandOutcome& outcome);
    void ShowIdentity(const NutIdentity& identity);

    NutSourceDeps d_;
    NutShared shared_;
    NutPoll poll_;
    WorkerOwner worker_;
    ISleeper* workerSleeper_ = nullptr;
    ReadData::Hooks hooks_;
    // Main thread.
    NutTarget target_;
    std::optional<NutTarget> service_;
    bool monitoring_ = false;
    bool found_ = false;
    std::string connectionText_;  // the status bar's, as last shown
    std::optional<std::set<std::string>> commandsShown_;
    NutIdentity identity_;
};

}  // namespace velt
