#pragma once
// A settings load/save rig: the in-memory store, the live settings, the link
// and the real battery thresholds, with effects that record what the window
// would be asked to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_io.h"
#include "fakes.h"
#include "memory_settings_store.h"
#include "status_fakes.h"

namespace velt::test {

inline constexpr char kProgram[] = "C:\\Program Files\\Veltrano\\veltrano.exe";

struct RecordingEffects : ISettingsEffects {
    const TUPSSettings& live;
    std::vector<std::string> calls;
    std::vector<std::string> errors;
    std::vector<ExternalProgramLabel> labels;
    FakeTimer smtpTimer, lanTimer;

    explicit RecordingEffects(const TUPSSettings& s) : live(s) {
        // The window creates both report timers with a 20-minute period.
        smtpTimer.interval = lanTimer.interval = 20 * 60000;
    }
    void SMTPReportsCBClick() override {
        calls.push_back("SMTPReportsCBClick");
        smtpTimer.SetEnabled(live.SMTPReports);
    }
    void LANReportsCBClick() override {
        calls.push_back("LANReportsCBClick");
        lanTimer.SetEnabled(live.LANReports);
    }
    void HTTPCBClick() override {
        calls.push_back("HTTPCBClick " + std::string(live.HTTPServer ? "on" : "off") + " port " + live.HTTPPort);
    }
    void HTTPAuthCBClick() override { calls.push_back("HTTPAuthCBClick"); }
    void ShowExternalProgram(const ExternalProgramLabel& l) override { labels.push_back(l); }
    void ShowSettingsError(const std::string& m) override { errors.push_back(m); }
};

struct SettingsRig : ::testing::Test {
    MemorySettingsStore store;
    TUPSSettings live;
    TUPSLink link;
    FakeLock lock;
    FakeBatteryView batteryView;
    BatteryCharge battery{live, batteryView, '.'};
    RecordingEffects effects{live};
    uint32_t osMajor = 6;

    SettingsContext Ctx() { return {store, live, link, lock, battery, effects, osMajor, kProgram}; }

    void Put(const std::string& name, StoredValue v) { store.Put(kSettingsKeyPath, name, std::move(v)); }
    void PutDword(const std::string& name, uint32_t v) { Put(name, StoredValue::Dword(v)); }
    void PutString(const std::string& name, const std::string& v) { Put(name, StoredValue::String(v)); }
    const StoredValue* Stored(const std::string& name) const { return store.Find(kSettingsKeyPath, name); }
    const StoredValue* RunEntry() const { return store.Find(kRunKeyPath, kAutoRunValueName); }
};

}  // namespace velt::test
