#include "status/status_evaluation.h"

#include <optional>
#include <utility>

namespace velt {

struct StatusEvent {
    const char* balloonText;
    BalloonKind kind;
    const char* logText;
    bool TUPSSettings::*selection;
    const char* subject;
    const char* bodyPrefix;
    const char* bodyEvent;
    // Its entry in the system's event log, at the balloon's level; AVR
    // switching is routine and gets none.
    std::optional<SystemEventLevel> systemLevel;
};

static const StatusEvent kPowerFailure{
    "Power fail", BalloonKind::Warning, "Power Fail", &TUPSSettings::PowerFail,
    "Warning - Power fail", "Warning - ", "Power fail", SystemEventLevel::Warning};
static const StatusEvent kPowerReturn{
    "Power O.K.", BalloonKind::Information, "Power O.K.", &TUPSSettings::PowerFail,
    "Information - Power O.K.", "Information - ", "Power O.K.", SystemEventLevel::Information};
static const StatusEvent kAvrOn{"AVR On", BalloonKind::Information, "AVR On",
                                             &TUPSSettings::AVR, "Warning - AVR On", "Warning - ",
                                             "AVR On", std::nullopt};
static const StatusEvent kAvrOff{"AVR Off", BalloonKind::Information, "AVR Off",
                                              &TUPSSettings::AVR, "Information - AVR Off",
                                              "Information - ", "AVR Off", std::nullopt};
static const StatusEvent kBatteryLow{"Battery Low", BalloonKind::Warning, "Battery Low",
                                     &TUPSSettings::BatteryLow, "Warning - Battery Low", "Warning - ",
                                     "Battery Low", SystemEventLevel::Warning};
// A UPS that stops answering has no selection box of its own: only the
// e-mail and LAN warning switches decide.
static const StatusEvent kLinkLost{"UPS not responding", BalloonKind::Warning, "UPS not responding", nullptr,
                                   "Warning - UPS not responding", "Warning - ", "UPS not responding",
                                   SystemEventLevel::Warning};
static const StatusEvent kLinkBack{"UPS responding again", BalloonKind::Information, "UPS responding again",
                                   nullptr, "Information - UPS responding again", "Information - ",
                                   "UPS responding again", SystemEventLevel::Information};

// Balloon, log line and warnings of one event. The event's time is taken once
// for the log line and both bodies.
void StatusEvaluation::Raise(const StatusEvent& e) {
    if (deps_.live.BalloonHints) deps_.feedback.ShowBalloon("UPS Status", e.balloonText, e.kind);
    const LocalDateTime when = deps_.clock.Now();
    deps_.addLogLine(e.logText, when);
    if (deps_.systemEvents && e.systemLevel) deps_.systemEvents->Report(*e.systemLevel, e.logText);
    if (e.selection && !(deps_.live.*e.selection)) return;
    const std::string body =
        WarningBody(e.bodyPrefix, DateTimeText(when, deps_.dateFormat), e.bodyEvent, deps_.identity());
    if (deps_.live.SMTPWarnings) deps_.warnings.SendMail(deps_.live, e.subject, body);
    if (deps_.live.LANWarnings) deps_.warnings.SendLANMessage(deps_.live, body);
    const AlertKind kind = e.kind == BalloonKind::Warning ? AlertKind::Warning : AlertKind::Information;
    deps_.warnings.SendPush(deps_.live, {e.logText, kind, e.subject, body, when,
                                         deps_.statusJson ? deps_.statusJson() : std::string()});
}

void StatusEvaluation::RaiseLinkLost() { Raise(kLinkLost); }
void StatusEvaluation::RaiseLinkBack() { Raise(kLinkBack); }

void StatusEvaluation::Evaluate(const TUPSStatus& st) {
    shown_.ReplyText = st.ReplyText;
    shown_.ReplyTime = st.ReplyTime;
    shown_.BatteryPack = st.BatteryPack;
    shown_.FailedField = st.FailedField;
    shown_.FieldsCut = st.FieldsCut;
    constexpr int kStatusField = static_cast<int>(kReplyFields.size());
    for (int field = 1; field <= st.FieldsCut && field < kStatusField; ++field) {
        ShowField(field, st);
        if (field == st.FailedField) return;  // the failed field is shown, nothing after it happens
        if (kReplyFields[field - 1].field == &TUPSStatus::BatteryVoltage) ReadBattery(st.BatteryPack);
    }
    // A reply cut short before its status field evaluates no bits.
    if (st.FieldsCut < kStatusField) return;
    ShowField(kStatusField, st);
    EvaluateBits(st);
    // After all bits, so the voltage rule replaces a delay armed by this reply.
    if (st.PowerFail) deps_.countdown.VoltageReading(st.BatteryPack.volts);
}

// Fields 1..8 of the view in the reply's order.
void StatusEvaluation::ShowField(int field, const TUPSStatus& st) {
    const auto member = kReplyFields[field - 1].field;
    deps_.view.SetFieldText(field, (st.*member).text);
    shown_.*member = st.*member;
}

void StatusEvaluation::ShowNoReadings() {
    for (int field = 1; field <= static_cast<int>(kReplyFields.size()); ++field) deps_.view.SetFieldText(field, "");
    ClearReadings(shown_);
}

// The field keeps the text the UPS sent; the estimate and the voltage rule
// take the pack's voltage, and an unknown one (0) updates neither.
void StatusEvaluation::ReadBattery(const PackVoltage& pack) {
    if (pack.cells > 1 && !perCellLogged_) {
        perCellLogged_ = true;
        deps_.addLogLine("Battery voltage is reported per cell; counting " + std::to_string(pack.cells) +
                             " cells",
                         deps_.clock.Now());
    }
    if (pack.volts) deps_.battery.UpdateBatteryCharge(*pack.volts);
}

void StatusEvaluation::RaiseBatteryLow() {
    if (std::exchange(batteryLowState_, true)) return;
    Raise(kBatteryLow);
}

void StatusEvaluation::EvaluateBits(const TUPSStatus& st) {
    // Each box is set once to its bit: clearing all first would flash the
    // ticks on every reply.
    for (const StatusFlag& flag : kStatusFlags) shown_.*flag.bit = st.*flag.bit;
    const StatusWords words = StatusWordsOf(st, false);
    // The window counts a test as on battery: the UPS runs from it meanwhile.
    deps_.view.SetModeWord(words.onBattery || st.TestInProgress ? "OB" : st.ShutdownActive ? "OFF" : "OL");
    EvaluatePowerFail(st);
    EvaluateAvr(st, words.regulation);
    deps_.view.SetStatusBox(2, st.BatteryLow);
    if (st.BatteryLow)
        RaiseBatteryLow();
    else
        batteryLowState_ = false;  // the end of a low battery is silent
    deps_.view.SetStatusBox(4, st.UPSFailed);
    deps_.view.SetStatusBox(5, st.StandbyUPS);
    deps_.view.SetStandbyCaption(st.StandbyUPS ? "Standby UPS" : "Online UPS");
    deps_.view.SetStatusBox(6, st.TestInProgress);
    deps_.view.SetStatusBox(7, st.ShutdownActive);
    deps_.view.SetStatusBox(8, st.BeeperOn);
}

void StatusEvaluation::EvaluatePowerFail(const TUPSStatus& st) {
    deps_.view.SetStatusBox(1, st.PowerFail);
    if (st.PowerFail) {
        deps_.view.SetTrayImage(TrayImage::PowerFail);
        if (!powerFailState_) {
            powerFailState_ = true;
            deps_.countdown.PowerFailBegins();
            Raise(kPowerFailure);
        }
        return;
    }
    TrackInputVoltage(st.IPVoltage.value.value_or(0.0));
    if (powerFailState_) {
        deps_.countdown.PowerReturned();
        Raise(kPowerReturn);
        deps_.view.SetTrayImage(TrayImage::Normal);
        powerFailState_ = false;
    }
}

// A reply evaluated this far holds both voltages, so AVR always has a regulation.
void StatusEvaluation::EvaluateAvr(const TUPSStatus& st, Regulation regulation) {
    deps_.view.SetStatusBox(3, st.AVR);
    if (st.AVR) {
        deps_.view.SetAvrMode(regulation == Regulation::Boost ? "BOOST"
                              : regulation == Regulation::Trim ? "TRIM"
                                                               : "BYPASS",
                              true);
        deps_.view.SetTrayImage(TrayImage::Avr);
        if (!avrState_) {
            avrState_ = true;
            Raise(kAvrOn);
        }
        return;
    }
    deps_.view.SetAvrMode("...", false);
    if (avrState_) {
        Raise(kAvrOff);
        deps_.view.SetTrayImage(TrayImage::Normal);
        avrState_ = false;
    }
}

void StatusEvaluation::TrackInputVoltage(double volts) {
    if (volts < ipMin_) ipMin_ = volts;
    if (volts > ipMax_) ipMax_ = volts;
    deps_.view.SetInputVoltageMinMax(OneDecimalText(ipMin_, deps_.decimalSeparator),
                                  OneDecimalText(ipMax_, deps_.decimalSeparator));
}

}  // namespace velt
