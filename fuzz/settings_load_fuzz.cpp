// The three settings loads over an arbitrary settings image: any names (the
// program's own and others), of any kind, with any bytes, in the settings key
// and the autostart key, either of which may refuse to open.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "app/settings_io.h"
#include "app/settings_table.h"
#include "fakes.h"
#include "fuzz_check.h"
#include "memory_settings_store.h"
#include "status_fakes.h"

namespace {

using namespace velt;
using test::StoredValue;

struct NoEffects : ISettingsEffects {
    void SMTPReportsCBClick() override {}
    void LANReportsCBClick() override {}
    void HTTPCBClick() override {}
    void HTTPAuthCBClick() override {}
    void ShowExternalProgram(const ExternalProgramLabel&) override {}
    void ShowSettingsError(const std::string&) override {}
};

std::vector<std::string> KnownNames() {
    std::vector<std::string> names{kAutoRunValueName};
    for (const auto table : settings_table::kAllTables)
        for (const SettingDef& def : table) names.emplace_back(def.name);
    return names;
}

StoredValue AnyValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return StoredValue::Dword(in.ConsumeIntegral<uint32_t>());
        case 1:
            return StoredValue::String(in.ConsumeRandomLengthString(300));
        default:
            return StoredValue::Binary();
    }
}

// A numeric setting with a range of its own holds a value inside it after the
// load, whatever was stored: clamped, or left at its default.
void CheckRanges(const TUPSSettings& live) {
    for (const auto table : {std::span<const SettingDef>(settings_table::kMainSettings),
                             std::span<const SettingDef>(settings_table::kSerialSettings)})
        for (const SettingDef& def : table) {
            const auto* member = std::get_if<int32_t TUPSSettings::*>(&def.member);
            if (!member || def.range.min == std::numeric_limits<int32_t>::min()) continue;
            fuzz::Check(def.range.Contains(live.**member), def.name);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<std::string> names = KnownNames();
    FuzzedDataProvider in(data, size);
    test::MemorySettingsStore store;
    const uint32_t osMajor = in.ConsumeIntegralInRange<uint32_t>(4, 10);
    const int ratedBatteryVolts = in.ConsumeIntegralInRange(0, 255);
    if (in.ConsumeBool()) store.unopenable.insert(in.ConsumeBool() ? kSettingsKeyPath : kRunKeyPath);
    while (in.remaining_bytes() > 0) {
        const char* path = in.ConsumeBool() ? kRunKeyPath : kSettingsKeyPath;
        const std::string name = in.ConsumeBool() ? names[in.ConsumeIntegralInRange<size_t>(0, names.size() - 1)]
                                                  : in.ConsumeRandomLengthString(40);
        store.Put(path, name, AnyValue(in));
    }

    TUPSSettings live;
    TUPSLink link;
    test::FakeLock lock;
    test::FakeBatteryView batteryView;
    BatteryCharge battery{live, batteryView, '.'};
    NoEffects effects;
    const SettingsContext ctx{store, live, link, lock, battery, effects, osMajor, "C:\\Veltrano\\veltrano.exe"};
    LoadSettings(ctx);
    LoadSerialSettings(ctx);
    battery.ApplyNominalVoltage(ratedBatteryVolts);
    LoadBatterySettings(ctx);
    CheckRanges(live);
    fuzz::Check(store.openKeys == 0, "every key closed");
    return 0;
}
