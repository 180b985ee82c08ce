#include "status/battery_charge.h"

#include <cmath>
#include <cstdio>

namespace velt {

namespace {

constexpr BatteryPreset kPresets[] = {
    {12, 90, 160, 97, 137, 110},   {24, 180, 300, 213, 271, 230}, {36, 300, 420, 325, 410, 350},
    {48, 380, 580, 400, 546, 470}, {96, 760, 1160, 800, 1110, 940},
};

constexpr unsigned kVkPageUp = 0x21, kVkPageDown = 0x22, kVkUp = 0x26, kVkDown = 0x28;
constexpr int kGaugeMax = 100;

std::string WithSeparator(std::string text, char sep) {
    for (char& c : text)
        if (c == '.') c = sep;
    return text;
}

}  // namespace

const BatteryPreset* FindBatteryPreset(int nominalVolts) {
    for (const auto& p : kPresets)
        if (p.nominal == nominalVolts) return &p;
    return nullptr;
}

std::string OneDecimalText(double value, char decimalSeparator) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f", value);
    return WithSeparator(buf, decimalSeparator);
}

std::string TenthsText(int32_t tenths, char decimalSeparator) {
    return OneDecimalText(tenths / 10.0, decimalSeparator);
}

long RoundHalfEven(double v) { return std::lrint(v); }  // default rounding mode: to nearest even

BatteryCharge::BatteryCharge(TUPSSettings& live, IBatteryView& view, char decimalSeparator)
    : live_(live), view_(view), sep_(decimalSeparator) {}

int32_t& BatteryCharge::Position(BatteryUpDown which) {
    switch (which) {
        case BatteryUpDown::Empty: return live_.EmptyVoltage;
        case BatteryUpDown::Full: return live_.FullVoltage;
        default: return live_.MinVoltage;
    }
}

UpDownModel BatteryCharge::UpDown(BatteryUpDown which) const {
    auto* self = const_cast<BatteryCharge*>(this);
    const Range& r = self->RangeOf(which);
    return {r.min, r.max, self->Position(which), 1};
}

void BatteryCharge::UpdateBatteryCharge(double batteryVolts) {
    const double empty = live_.EmptyVoltage / 10.0, full = live_.FullVoltage / 10.0;
    if (live_.FullVoltage <= live_.EmptyVoltage) {
        charge_.reset();
        view_.SetChargeCaption("...");
        view_.SetGaugePosition(kGaugeMax);
        return;
    }
    ShowCharge((batteryVolts - empty) / (full - empty) * 100.0);
}

void BatteryCharge::ShowCharge(double percent) {
    charge_ = percent;
    view_.SetChargeCaption(OneDecimalText(percent, sep_));
    const long gauge = RoundHalfEven(percent);
    // The gauge ignores positions above its maximum and keeps the previous one.
    if (gauge <= kGaugeMax) view_.SetGaugePosition(gauge < 0 ? 0 : static_cast<int>(gauge));
}

void BatteryCharge::ApplyNominalVoltage(std::optional<double> ratedBatteryVolts, NominalQuestion question) {
    if (!ratedBatteryVolts && nominalKnown_ && question == NominalQuestion::OnlyWhenUnknown) return;
    nominalKnown_ = true;
    nominal_ = 12.0;
    nominal_ = ratedBatteryVolts ? *ratedBatteryVolts : view_.AskNominalBatteryVoltage();
    const long rounded = RoundHalfEven(nominal_);
    view_.SetNominalVoltageText(std::to_string(rounded));
    ApplyBatteryPreset(static_cast<int>(rounded));
    for (auto which : {BatteryUpDown::Full, BatteryUpDown::Empty, BatteryUpDown::Min}) ShowThreshold(which);
}

void BatteryCharge::ApplyBatteryPreset(int nominalVolts) {
    const BatteryPreset* p = FindBatteryPreset(nominalVolts);
    if (!p) return;
    const std::pair<BatteryUpDown, int32_t> order[] = {
        {BatteryUpDown::Empty, p->empty}, {BatteryUpDown::Full, p->full}, {BatteryUpDown::Min, p->minimum}};
    for (const auto& [which, position] : order) {
        RangeOf(which) = {p->min, p->max};
        SetPosition(which, position);
    }
}

void BatteryCharge::SetPosition(BatteryUpDown which, int32_t position) {
    OnChanging(which, position);
    Position(which) = position;
    view_.SetThresholdUpDown(which, UpDown(which));
}

void BatteryCharge::OnChanging(BatteryUpDown which, int32_t proposed) {
    if (UpDown(which).InRange(proposed)) view_.SetThresholdText(which, TenthsText(proposed, sep_));
}

void BatteryCharge::ShowThreshold(BatteryUpDown which) {
    view_.SetThresholdText(which, TenthsText(UpDown(which).position, sep_));
}

void BatteryCharge::OnKeyDown(BatteryUpDown which, unsigned virtualKey) {
    const UpDownModel m = UpDown(which);
    int32_t step = 0;
    switch (virtualKey) {
        case kVkPageUp: step = 10 * m.increment; break;
        case kVkPageDown: step = -10 * m.increment; break;
        case kVkUp: step = m.increment; break;
        case kVkDown: step = -m.increment; break;
        default: return;
    }
    // A step that would leave the range is not taken at all.
    if (m.InRange(m.position + step)) SetPosition(which, m.position + step);
}

}  // namespace velt
