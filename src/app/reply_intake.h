#pragma once
// The main thread's side of the worker's hand-off: takes each reply from the
// reading source, shows it in the data stream, watches whether the UPS still
// answers, evaluates the reply under a guard and has the result published.
#include <functional>
#include <optional>
#include <string>

#include "app/history_recorder.h"
#include "app/main_view.h"
#include "core/link_watch.h"
#include "status/battery_charge.h"
#include "status/power_fail_policy.h"
#include "status/remote_ups_rules.h"
#include "status/reading_source.h"
#include "status/status_evaluation.h"
#include "sys/main_thread_dispatcher.h"
#include "sys/message_pump.h"

namespace velt {

struct ReplyIntakeDeps {
    IReadingSource& source;
    IMainView& view;        // the data stream: reply, time, spinner
    IBatteryView& battery;  // its caption, when the readings stop
    BatteryCharge& charge;  // a charge the source reports
    const TUPSSettings& live;  // "Remote Dead Time"
    StatusEvaluation& evaluation;
    PowerFailPolicy& policy;
    const IClock& clock;
    const IDateTimeFormat& dateFormat;
    IMessagePump& pump;
    ILogSink& log;
    HistoryRecorder& history;
    std::function<void()> publish;  // after each change of what is shown
};

class ReplyIntake {
public:
    explicit ReplyIntake(ReplyIntakeDeps deps) : d_(std::move(deps)) {}

    void OnWorkerMessage(WorkerMessage message);
    void ProcessUPSStatus();

    // Monitoring starts or stops: the watch counts afresh.
    void ResetWatch() {
        watch_.Reset();
        remote_.Reset();
    }
    // The readings before belong to no current reply.
    void ForgetReading() { replied_ = false; }
    // Whether the UPS answers within the watch's limit.
    bool Responding() const { return watch_.Responding(); }
    // A reply of the UPS monitored now was understood.
    bool Replied() const { return replied_; }

private:
    void OnPollOutcome(bool answered);
    void ShowReadingsStale();
    void ShowSpinnerStep();
    void EvaluateGuarded(const TUPSStatus& status);
    void TakeRemoteExtras(const SourceReply& reply);
    void OnRemoteSilence();
    void Apply(RemoteUpsRules::Verdict verdict);

    ReplyIntakeDeps d_;
    LinkWatch watch_;
    RemoteUpsRules remote_;
    bool replied_ = false;
    std::string evaluationFailure_;
    int spinnerStep_ = 0;
};

}  // namespace velt
