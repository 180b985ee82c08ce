#include "app/reply_intake.h"

#include <exception>

namespace velt {

void ReplyIntake::OnWorkerMessage(WorkerMessage message) {
    if (message == WorkerMessage::Failed) {
        d_.log.AddLogLine("I/O Thread failed");
        return;
    }
    // An expiry met in the repaint pump below must not run while the worker
    // waits for this hand-off to return.
    struct ExpiryHold {
        PowerFailPolicy& policy;
        explicit ExpiryHold(PowerFailPolicy& p) : policy(p) { policy.HoldExpiries(); }
        ~ExpiryHold() { policy.ReleaseExpiries(); }
    } hold(d_.policy);
    if (message == WorkerMessage::FailedPoll) {
        d_.source.OnFailedPoll();
        OnPollOutcome(false);
        OnRemoteSilence();
    } else
        ProcessUPSStatus();
}

void ReplyIntake::ProcessUPSStatus() {
    const SourceReply reply = d_.source.TakeReply();
    ShowSpinnerStep();
    if (reply.monitoring && !reply.text.empty()) {
        d_.view.SetTimeText(d_.dateFormat.LongTime(reply.when));
        d_.view.SetReportString(reply.text);
        // Any reply counts as an answer: garbage is a fault of its own, not a
        // UPS gone silent.
        OnPollOutcome(true);
        if (reply.status) {
            replied_ = true;
            EvaluateGuarded(*reply.status);
            TakeRemoteExtras(reply);
            d_.history.OnReading(*reply.status, d_.charge.Charge());
            d_.publish();
        }
    } else if (reply.monitoring) {
        OnPollOutcome(false);  // an HID poll that heard nothing
    }
    d_.pump.ProcessMessages();  // let the window repaint between replies
}

void ReplyIntake::OnPollOutcome(bool answered) {
    switch (watch_.OnPoll(answered)) {
        case LinkWatch::Change::Lost:
            d_.evaluation.RaiseLinkLost();
            d_.history.OnLinkLost();
            ShowReadingsStale();
            break;
        case LinkWatch::Change::Back:
            d_.evaluation.RaiseLinkBack();
            d_.history.OnLinkBack();
            break;
        case LinkWatch::Change::None: break;
    }
    if (watch_.Responding() || !watch_.ReconnectDue(d_.clock.MonotonicMs())) return;
    if (d_.source.Reconnect()) d_.publish();
}

// After the evaluation, so the server's charge replaces the estimate and an
// FSD's short countdown replaces the delay this reply may have armed.
void ReplyIntake::TakeRemoteExtras(const SourceReply& reply) {
    if (!d_.source.Remote()) return;
    if (reply.chargePercent) d_.charge.ShowReportedCharge(*reply.chargePercent);
    Apply(remote_.OnReading(reply.status->PowerFail, reply.forcedShutdown, d_.clock.MonotonicMs()));
}

void ReplyIntake::OnRemoteSilence() {
    if (!d_.source.Remote()) return;
    Apply(remote_.OnSilence(d_.clock.MonotonicMs(), static_cast<uint32_t>(d_.live.RemoteDeadTime)));
}

void ReplyIntake::Apply(RemoteUpsRules::Verdict verdict) {
    switch (verdict) {
        case RemoteUpsRules::Verdict::ForcedShutdown:
            d_.policy.ActNow("Forced shutdown requested by the NUT server");
            break;
        case RemoteUpsRules::Verdict::DeadOnBattery:
            d_.evaluation.RaiseBatteryLow();
            d_.policy.ActNow("UPS on battery not heard from for more than " + std::to_string(d_.live.RemoteDeadTime) +
                             " s: battery counted as low");
            break;
        case RemoteUpsRules::Verdict::None: break;
    }
}

// Readings that no longer come are not left on screen as if they were current.
void ReplyIntake::ShowReadingsStale() {
    d_.evaluation.ShowNoReadings();
    d_.view.SetReportString("");
    d_.battery.SetChargeCaption("...");
    d_.publish();
}

void ReplyIntake::ShowSpinnerStep() {
    static const char* const kGlyphs[] = {"|", "/", "-", "\\"};
    d_.view.SetSpinner(kGlyphs[spinnerStep_ % 4]);
    spinnerStep_ = (spinnerStep_ + 1) % 8;
}

// A fault in the evaluation costs that one reply, never the monitoring: it is
// logged once (again only after a reply went through) and the next reply is
// evaluated as usual.
void ReplyIntake::EvaluateGuarded(const TUPSStatus& status) {
    std::string failure;
    try {
        d_.evaluation.Evaluate(status);
        evaluationFailure_.clear();
        return;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown error";
    }
    if (failure == evaluationFailure_) return;
    evaluationFailure_ = failure;
    d_.log.AddLogLine("Status evaluation failed: " + failure);
}

}  // namespace velt
