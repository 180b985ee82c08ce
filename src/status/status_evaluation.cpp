#include "status/status_evaluation.h"

namespace velt {

struct StatusEvent {
    const char* balloonText;
    BalloonKind kind;
    const char* logText;
    bool TUPSSettings::*selection;
    const char* subject;
    const char* bodyPrefix;
    const char* bodyEvent;
};

static const StatusEvent kPowerFailure{
    "Power fail", BalloonKind::Warning, "Power Fail", &TUPSSettings::PowerFail,
    "Warning - Power fail", "Warning - ", "Power fail"};
static const StatusEvent kPowerReturn{
    "Power O.K.", BalloonKind::Information, "Power O.K.", &TUPSSettings::PowerFail,
    "Information - Power O.K.", "Information - ", "Power O.K."};
static const StatusEvent kAvrOn{"AVR On", BalloonKind::Information, "AVR On",
                                             &TUPSSettings::AVR, "Warning - AVR On", "Warning - ",
                                             "AVR On"};
static const StatusEvent kAvrOff{"AVR Off", BalloonKind::Information, "AVR Off",
                                              &TUPSSettings::AVR, "Information - AVR Off",
                                              "Information - ", "AVR Off"};
// The battery-low subject is the prefix alone.
static const StatusEvent kBatteryLow{"Battery Low", BalloonKind::Warning, "Battery Low",
                                                  &TUPSSettings::BatteryLow, "Warning - ", "Warning - ",
                                                  "Battery Low"};

// Balloon, log line and warnings of one event. The event's time is taken once
// for the log line and both bodies.
void TStatusEvaluation::Raise(const StatusEvent& e) {
    if (d_.live.BalloonHints) d_.feedback.ShowBalloon("UPS Status", e.balloonText, e.kind);
    const LocalDateTime when = d_.clock.Now();
    d_.addLogLine(e.logText, when);
    if (!(d_.live.*e.selection)) return;
    const std::string body =
        WarningBody(e.bodyPrefix, DateTimeText(when, d_.dateFormat), e.bodyEvent, d_.identity());
    if (d_.live.SMTPWarnings) d_.warnings.SendMail(e.subject, body);
    if (d_.live.LANWarnings) d_.warnings.SendLANMessage(body);
}

void TStatusEvaluation::Evaluate(const TUPSStatus& st) {
    for (int field = 1; field <= st.FieldsCut && field <= 7; ++field) {
        static const std::string TUPSStatus::*const kTexts[] = {
            &TUPSStatus::IPVoltage,   &TUPSStatus::IPFaultVoltage, &TUPSStatus::OPVoltage,
            &TUPSStatus::OPCurrent,   &TUPSStatus::IPFrequency,    &TUPSStatus::BatteryVoltage,
            &TUPSStatus::Temperature};
        d_.view.SetFieldText(field, st.*kTexts[field - 1]);
        if (field == st.FailedField) return;  // the failed field is shown, nothing after it happens
        if (field == 6) d_.battery.UpdateBatteryCharge(st.BatteryVoltageValue);
    }
    // A reply cut short before its status field evaluates no bits.
    if (st.FieldsCut < 8) return;
    d_.view.SetFieldText(8, st.UPSStatus);
    bool voltageRule = false;
    EvaluateBits(st, voltageRule);
    // After all bits, so the voltage rule replaces a delay armed by this reply.
    if (voltageRule) d_.countdown.ArmByVoltageRule();
}

void TStatusEvaluation::EvaluateBits(const TUPSStatus& st, bool& voltageRule) {
    for (int box = 1; box <= 8; ++box) d_.view.SetStatusBox(box, false);
    d_.view.SetModeWord(st.PowerFail || st.TestInProgress ? "OB" : st.ShutdownActive ? "OFF" : "OL");
    EvaluatePowerFail(st, voltageRule);
    EvaluateAvr(st);
    if (st.BatteryLow) {
        d_.view.SetStatusBox(2, true);
        if (!batteryLowState_) {
            batteryLowState_ = true;
            Raise(kBatteryLow);
        }
    } else {
        batteryLowState_ = false;  // the end of a low battery is silent
    }
    if (st.UPSFailed) d_.view.SetStatusBox(4, true);
    d_.view.SetStatusBox(5, st.StandbyUPS);
    d_.view.SetStandbyCaption(st.StandbyUPS ? "Standby UPS" : "Online UPS");
    if (st.TestInProgress) d_.view.SetStatusBox(6, true);
    if (st.ShutdownActive) d_.view.SetStatusBox(7, true);
    if (st.BeeperOn) d_.view.SetStatusBox(8, true);
}

void TStatusEvaluation::EvaluatePowerFail(const TUPSStatus& st, bool& voltageRule) {
    if (st.PowerFail) {
        d_.view.SetStatusBox(1, true);
        d_.view.SetTrayImage(TrayImage::PowerFail);
        if (d_.countdown.VoltageRuleHolds(st.BatteryVoltageValue)) voltageRule = true;
        if (!powerFailState_) {
            powerFailState_ = true;
            d_.countdown.PowerFailBegins();
            Raise(kPowerFailure);
        }
        return;
    }
    TrackInputVoltage(st.IPVoltageValue);
    if (powerFailState_) {
        d_.countdown.PowerReturned();
        Raise(kPowerReturn);
        d_.view.SetTrayImage(TrayImage::Normal);
        powerFailState_ = false;
    }
}

void TStatusEvaluation::EvaluateAvr(const TUPSStatus& st) {
    if (st.AVR) {
        d_.view.SetStatusBox(3, true);
        const double in = st.IPVoltageValue, out = st.OPVoltageValue;
        d_.view.SetAvrMode(out > in ? "BOOST" : out == in ? "BYPASS" : "TRIM", true);
        d_.view.SetTrayImage(TrayImage::Avr);
        if (!avrState_) {
            avrState_ = true;
            Raise(kAvrOn);
        }
        return;
    }
    d_.view.SetAvrMode("...", false);
    if (avrState_) {
        Raise(kAvrOff);
        d_.view.SetTrayImage(TrayImage::Normal);
        avrState_ = false;
    }
}

void TStatusEvaluation::TrackInputVoltage(double volts) {
    if (volts < ipMin_) ipMin_ = volts;
    if (volts > ipMax_) ipMax_ = volts;
    d_.view.SetInputVoltageMinMax(OneDecimalText(ipMin_, d_.decimalSeparator),
                                  OneDecimalText(ipMax_, d_.decimalSeparator));
}

}  // namespace velt
