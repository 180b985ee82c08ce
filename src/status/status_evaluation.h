#pragma once
// Turns each parsed status reply into what the window shows and into events:
// power failure and return, AVR on and off, battery low. Each event is
// edge-triggered by a memory that is set when reported and cleared when its
// condition ends. Main thread only.
#include <functional>
#include <optional>
#include <string>

#include "core/feedback.h"
#include "core/ups_settings.h"
#include "core/date_time_text.h"
#include "status/warnings.h"
#include "status/battery_charge.h"
#include "status/power_fail_countdown.h"
#include "status/shown_status.h"
#include "status/status_words.h"
#include "status/ups_status.h"
#include "sys/clock.h"
#include "sys/system_event_log.h"

namespace velt {

enum class TrayImage { Normal = 0, Avr = 1, PowerFail = 2 };

// The readings on the "UPS Status" page; the window implements it.
class IStatusView {
public:
    virtual ~IStatusView() = default;
    // Fields 1..8: IPVoltageE, IPFaultVoltageE, OPVoltageE, OPCurrentE,
    // IPFrequencyE, BatteryVoltageE, TemperatureE, UPSStatusE.
    virtual void SetFieldText(int field, const std::string& text) = 0;
    // UPSStatusCB1..UPSStatusCB8.
    virtual void SetStatusBox(int box, bool checked) = 0;
    virtual void SetStandbyCaption(const std::string& caption) = 0;  // UPSStatusCB5
    virtual void SetModeWord(const std::string& word) = 0;          // UPSModeL
    virtual void SetAvrMode(const std::string& caption, bool enabled) = 0;
    virtual void SetInputVoltageMinMax(const std::string& min, const std::string& max) = 0;
    virtual void SetTrayImage(TrayImage image) = 0;
    // The runtime and the watts, after every change of what is shown; the
    // line says runtime left while on battery, the full-charge runtime on mains.
    virtual void ShowPower(const ShownPower& power, bool onBattery) = 0;
};

struct StatusEvaluationDeps {
    IStatusView& view;
    IFeedback& feedback;
    IWarningSender& warnings;
    BatteryCharge& battery;
    IPowerFailCountdown& countdown;
    const TUPSSettings& live;
    const IClock& clock;
    const IDateTimeFormat& dateFormat;
    std::function<void(const std::string&, const LocalDateTime&)> addLogLine;
    std::function<UpsIdentityText()> identity;
    char decimalSeparator = '.';
    // A service's: the events an administrator looks for are reported there too.
    ISystemEventLog* systemEvents = nullptr;
    // The snapshot a webhook is sent with (as /status.json gives it).
    std::function<std::string()> statusJson = {};
};

struct StatusEvent;

class StatusEvaluation {
public:
    explicit StatusEvaluation(StatusEvaluationDeps deps) : deps_(std::move(deps)) {}

    // Shows the fields and evaluates the bits of one parsed reply.
    void Evaluate(const TUPSStatus& status);

    bool PowerFailState() const { return powerFailState_; }
    bool AVRState() const { return avrState_; }
    bool BatteryLowState() const { return batteryLowState_; }
    double IPVoltageMin() const { return ipMin_; }
    double IPVoltageMax() const { return ipMax_; }

    // The reading as this evaluation left it on screen, for the caller to
    // publish: the last reply's fields over those it did not reach, the bits
    // last evaluated.
    const TUPSStatus& Shown() const { return shown_; }
    // Blanks the eight fields, for readings that no longer come.
    void ShowNoReadings();
    // A UPS that stopped answering, and one that answers again: balloon, log
    // line and warnings like the status events.
    void RaiseLinkLost();
    void RaiseLinkBack();
    // A low battery known without a reply saying so: the event, once.
    void RaiseBatteryLow();

private:
    void Raise(const StatusEvent& e);
    void ShowField(int field, const TUPSStatus& st);
    void ReadBattery(const PackVoltage& pack);
    void EvaluateBits(const TUPSStatus& st);
    void EvaluatePowerFail(const TUPSStatus& st);
    void EvaluateAvr(const TUPSStatus& st, Regulation regulation);
    void TrackInputVoltage(double volts);

    StatusEvaluationDeps deps_;
    bool powerFailState_ = false, avrState_ = false, batteryLowState_ = false;
    double ipMin_ = 1e9, ipMax_ = 0;
    bool perCellLogged_ = false;
    TUPSStatus shown_;
};

}  // namespace velt
