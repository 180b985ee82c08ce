#pragma once
// Battery charge estimate: the voltage placed linearly between the empty and full
// thresholds, and the presets that give the thresholds their ranges for the
// nominal battery voltage. Thresholds are up-down positions in tenths of a volt.
#include <optional>
#include <string>

#include "core/battery_rating.h"
#include "core/ups_settings.h"
#include "status/up_down.h"

namespace velt {

enum class BatteryUpDown { Empty, Full, Min };

// What the battery controls show; the window implements it.
class IBatteryView {
public:
    virtual ~IBatteryView() = default;
    virtual void SetChargeCaption(const std::string& text) = 0;  // BatteryChargeL
    virtual void SetGaugePosition(int position) = 0;             // BatteryChargeRL, 0..100
    virtual void SetNominalVoltageText(const std::string& text) = 0;
    virtual void SetThresholdText(BatteryUpDown which, const std::string& text) = 0;
    virtual void SetThresholdUpDown(BatteryUpDown which, const UpDownModel& model) = 0;
    // TBatteryVoltForm: 12..96 V in steps of 12; gives the chosen position.
    virtual int AskNominalBatteryVoltage() = 0;
};

struct BatteryPreset {
    int nominal;
    int32_t min, max, empty, full, minimum;
};

const BatteryPreset* FindBatteryPreset(int nominalVolts);

// Tenths of a volt as the edits show them: one decimal, the locale's separator.
std::string TenthsText(int32_t tenths, char decimalSeparator);
// A number with one decimal, the locale's separator ("81.3", "-12.5").
std::string OneDecimalText(double value, char decimalSeparator);
// Nearest integer with halves going to the even neighbour.
long RoundHalfEven(double v);

// The positions live in the settings object ("Empty Voltage", "Full Voltage",
// "Min Voltage"); this class keeps the ranges the presets give them.
class BatteryCharge final : public IBatteryRating {
public:
    BatteryCharge(TUPSSettings& live, IBatteryView& view, char decimalSeparator);

    UpDownModel UpDown(BatteryUpDown which) const;
    double NominalBatteryVoltage() const { return nominal_; }
    std::optional<double> Charge() const { return charge_; }

    // After field 6 of each status reply.
    void UpdateBatteryCharge(double batteryVolts);
    // A charge the UPS's server reports itself, over the estimate.
    void ShowReportedCharge(double percent) { ShowCharge(percent); }
    // At every detection on an open link: the F probe's rated battery voltage,
    // or none to ask the user. Stored thresholds are applied afterwards by the caller.
    void ApplyNominalVoltage(std::optional<double> ratedBatteryVolts,
                             NominalQuestion question = NominalQuestion::Ask) override;
    void ApplyBatteryPreset(int nominalVolts);
    // Sets a position as a stored value would; the changing rule keeps the edit in step.
    void SetPosition(BatteryUpDown which, int32_t position);
    // The changing rule of the three up-downs.
    void OnChanging(BatteryUpDown which, int32_t proposed);
    // Page Up/Down and the arrow keys on the edits; other keys do nothing.
    void OnKeyDown(BatteryUpDown which, unsigned virtualKey);

private:
    void ShowCharge(double percent);
    void ShowThreshold(BatteryUpDown which);
    int32_t& Position(BatteryUpDown which);
    struct Range {
        int32_t min = 90, max = 160;
    };
    Range& RangeOf(BatteryUpDown which) { return ranges_[static_cast<int>(which)]; }

    TUPSSettings& live_;
    IBatteryView& view_;
    char sep_;
    Range ranges_[3];
    double nominal_ = 12.0;
    bool nominalKnown_ = false;  // set by the first detection on an open link
    std::optional<double> charge_;
};

}  // namespace velt
