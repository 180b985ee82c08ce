#include <gtest/gtest.h>

#include "reports/history_rows.h"
#include "settings_fixture.h"

namespace velt::test {
namespace {

using SettingsLoad = SettingsRig;

TEST_F(SettingsLoad, FirstStartCreatesAnEmptyKeyAndKeepsEveryDefault) {
    live.LANServer = "HOST";  // start-up puts the computer's name there first
    TUPSSettings expected = live;
    LoadSettings(Ctx());
    LoadSerialSettings(Ctx());
    EXPECT_TRUE(store.keys.count(kSettingsKeyPath));
    EXPECT_FALSE(store.keys.count(kRunKeyPath));  // only opened, never created, by a load
    EXPECT_EQ(live, expected);
    EXPECT_TRUE(effects.calls.empty());
    EXPECT_TRUE(effects.errors.empty());
    EXPECT_EQ(link.RefreshIntervalMs, 3000u);
    EXPECT_EQ(store.openKeys, 0);
}

TEST_F(SettingsLoad, ClicksRunInLoadOrderOnlyForChangedBoxes) {
    PutString("HTTP Port", "8181");
    PutDword("HTTP Server", 7);  // any non-zero number is true
    PutDword("HTTP Authentication", 0);
    live.LANReports = true;
    PutDword("LAN Reports", 0);
    live.SMTPWarnings = true;  // no click handler, and unchanged anyway
    PutDword("SMTP Warnings", 1);
    PutDword("SMTP Reports", 1);
    PutDword("SMTP Delay", 60);
    LoadSettings(Ctx());
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"SMTPReportsCBClick", "LANReportsCBClick",
                                                       "HTTPCBClick on port 8181"}));
    // The report timer runs from the load on at the window's initial period;
    // "SMTP Delay" reaches it only when monitoring starts.
    EXPECT_TRUE(effects.smtpTimer.enabled);
    EXPECT_EQ(effects.smtpTimer.interval, 20u * 60000u);
    EXPECT_EQ(live.SMTPDelay, 60);
}

TEST_F(SettingsLoad, NumbersOutsideTheirUpDownComeInAtTheNearestBound) {
    PutDword("Refresh Interval", 0);
    PutDword("Delay", 20000);
    PutDword("UPS Shutdown Delay", 0xFFFFFFFFu);  // -1, sign-extended
    PutDword("SMTP Delay", 100000);
    PutDword("LAN Delay", 1);
    LoadSettings(Ctx());
    EXPECT_EQ(live.RefreshInterval, 1);
    EXPECT_EQ(link.RefreshIntervalMs, 1000u);
    EXPECT_EQ(live.Delay, 10800);
    EXPECT_EQ(live.UPSShutdownDelay, 1);
    EXPECT_EQ(live.SMTPDelay, 180);
    EXPECT_EQ(live.LANDelay, 5);
    EXPECT_EQ(lock.depth, 0);
}

// The history's and the runtime's values have no control: the load alone
// keeps a hand-edited number within what the history and the estimate use.
TEST_F(SettingsLoad, HistoryDaysAndTheRatingComeInAtTheNearestBound) {
    const struct {
        const char* name;
        uint32_t stored;
        int32_t TUPSSettings::*member;
        int32_t loaded;
    } cases[] = {
        {"History Days", 400, &TUPSSettings::HistoryDays, 400},
        {"History Days", 0, &TUPSSettings::HistoryDays, 7},
        {"History Days", 0xFFFFFFFFu, &TUPSSettings::HistoryDays, 7},
        {"History Days", 3651, &TUPSSettings::HistoryDays, 3650},
        {"UPS Rating W", 900, &TUPSSettings::UPSRatingW, 900},
        {"UPS Rating W", 0xFFFFFFFFu, &TUPSSettings::UPSRatingW, 0},
        {"UPS Rating W", 1000000, &TUPSSettings::UPSRatingW, 50000},
        {"Wake Delay", 0, &TUPSSettings::WakeDelay, 0},
        {"Wake Delay", 121, &TUPSSettings::WakeDelay, 120},
        {"Wake Delay", 0xFFFFFFFFu, &TUPSSettings::WakeDelay, 0},
        {"Wake Min Charge", 100, &TUPSSettings::WakeMinCharge, 100},
        {"Wake Min Charge", 101, &TUPSSettings::WakeMinCharge, 100},
    };
    for (const auto& c : cases) {
        PutDword(c.name, c.stored);
        LoadSettings(Ctx());
        EXPECT_EQ(live.*c.member, c.loaded) << c.name << " " << c.stored;
    }
    EXPECT_EQ(TUPSSettings{}.HistoryDays, 400);
    EXPECT_EQ(TUPSSettings{}.WakeDelay, 5);
    EXPECT_EQ(TUPSSettings{}.WakeMinCharge, 50);
    // The history's own clamp keeps the same bounds.
    EXPECT_EQ(ClampHistoryDays(0), 7);
    EXPECT_EQ(ClampHistoryDays(3651), 3650);
    EXPECT_TRUE(effects.errors.empty());
}

// "Battery Ah" is text: a decimal with a dot or a comma, blanks around it
// allowed; anything else is reported and the value stays.
TEST_F(SettingsLoad, TheBatteryCapacityReadsAsADecimalInEitherNotation) {
    const struct {
        const char* text;
        double loaded;
        bool reported;
    } cases[] = {
        {"7.2", 7.2, false},   {" 9 ", 9, false},     {"7,5", 7.5, false},  {"1e2", 100, false},
        {"-3", 0, false},      {"99999", 5000, false}, {"7.2Ah", 5000, true}, {"", 5000, true},
        {"nan", 5000, true},   {"inf", 5000, true},   {"1.2.3", 5000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        effects.errors.clear();
        live.BatteryAh = 5000;
        PutString("Battery Ah", c.text);
        LoadSettings(Ctx());
        EXPECT_EQ(live.BatteryAh, c.loaded);
        EXPECT_EQ(effects.errors.size(), c.reported ? 1u : 0u);
    }
    effects.errors.clear();
    PutDword("Battery Ah", 7);
    LoadSettings(Ctx());
    EXPECT_EQ(effects.errors, (std::vector<std::string>{"Invalid data type for 'Battery Ah'"}));
}

TEST_F(SettingsLoad, ActionTakesOneToFourAndIgnoresOtherNumbers) {
    PutDword("Action", 3);
    LoadSettings(Ctx());
    EXPECT_EQ(live.Action, 3);
    for (uint32_t other : {0u, 5u, 0xFFFFFFFFu}) {
        PutDword("Action", other);
        LoadSettings(Ctx());
        EXPECT_EQ(live.Action, 3) << other;
    }
}

TEST_F(SettingsLoad, ForceOptionsAreReadOnlyUpToMajorVersionFive) {
    PutDword("Force Shutdown", 1);
    PutString("Force Suspend", "yes");  // not even looked at on a newer system
    LoadSettings(Ctx());
    EXPECT_FALSE(live.ForceShutdown);
    EXPECT_TRUE(effects.errors.empty());

    osMajor = 5;
    PutDword("Force Suspend", 1);
    LoadSettings(Ctx());
    EXPECT_TRUE(live.ForceShutdown);
    EXPECT_TRUE(live.ForceSuspend);
}

TEST_F(SettingsLoad, AValueOfTheWrongTypeIsReportedAndTreatedAsAbsent) {
    PutString("Delay", "600");
    Put("HTTP Server", StoredValue::Binary());
    PutDword("SMTP Host", 1);
    PutDword("LAN Delay", 30);
    PutString("HTTP Port", "9000");
    PutDword("I", 1);
    LoadSettings(Ctx());
    EXPECT_EQ(effects.errors,
              (std::vector<std::string>{"Invalid data type for 'Delay'", "Invalid data type for 'SMTP Host'",
                                        "Invalid data type for 'HTTP Server'"}));
    EXPECT_EQ(live.Delay, 600);
    EXPECT_EQ(live.SMTPHost, TUPSSettings{}.SMTPHost);
    EXPECT_FALSE(live.HTTPServer);
    EXPECT_TRUE(effects.calls.empty());
    // Everything after the bad values still loads.
    EXPECT_EQ(live.LANDelay, 30);
    EXPECT_EQ(live.HTTPPort, "9000");
    EXPECT_TRUE(live.I);
    EXPECT_EQ(store.openKeys, 0);
}

TEST_F(SettingsLoad, ExternalProgramLabelShowsWholeBelow25Characters) {
    const std::string p24 = "C:\\Tools\\shut_down_1.bat";  // 24 characters
    const std::string p25 = "C:\\Tools\\shut_down_12.bat";
    ASSERT_EQ(p24.size(), 24u);
    ASSERT_EQ(p25.size(), 25u);
    EXPECT_EQ(LabelExternalProgram(p24).caption, p24);
    EXPECT_EQ(LabelExternalProgram(p25).caption, p25 + "...");
    EXPECT_EQ(LabelExternalProgram(p25).hint, p25);

    PutString("External Program Name", p25 + "x");
    LoadSettings(Ctx());
    EXPECT_EQ(live.ExternalProgramName, p25 + "x");
    ASSERT_EQ(effects.labels.size(), 1u);
    EXPECT_EQ(effects.labels[0].caption, p25 + "...");

    PutString("External Program Name", "");  // an empty path is no program
    LoadSettings(Ctx());
    EXPECT_FALSE(live.ExternalProgramName);
    EXPECT_EQ(effects.labels.size(), 1u);
}

TEST_F(SettingsLoad, AutoRunIsOnOnlyWhenTheEntryHoldsTheQuotedProgramPath) {
    const std::string quoted = std::string("\"") + kProgram + "\"";
    const struct {
        std::string entry;
        bool on;
    } cases[] = {
        {quoted, true},
        {quoted + " /A", true},                 // further text is allowed
        {kProgram, false},                      // unquoted
        {"\"C:\\Old\\veltrano.exe\"", false},   // the program was moved
        {"\"c:\\program files\\veltrano\\veltrano.exe\"", false},  // the test is case-sensitive
    };
    for (const auto& c : cases) {
        store.Put(kRunKeyPath, kAutoRunValueName, StoredValue::String(c.entry));
        LoadSettings(Ctx());
        EXPECT_EQ(live.AutoRun, c.on) << c.entry;
    }
    store.Put(kRunKeyPath, kAutoRunValueName, StoredValue::Dword(1));
    LoadSettings(Ctx());
    EXPECT_FALSE(live.AutoRun);
    EXPECT_EQ(effects.errors, (std::vector<std::string>{"Invalid data type for 'Veltrano'"}));
}

TEST_F(SettingsLoad, SerialValuesStartFromTheirDefaultsAndReachTheLink) {
    link.ComDtr = link.ComRts = true;
    link.ComPort = 4;
    PutDword("COM Port", 3);
    PutDword("COM RTS", 1);
    PutDword("COM MaxAttempts", 2);
    LoadSerialSettings(Ctx());
    EXPECT_EQ(link.ComPort, 3);
    EXPECT_FALSE(link.ComDtr);  // false unless read
    EXPECT_TRUE(link.ComRts);
    EXPECT_EQ(link.ComMaxAttempts, 2);

    PutDword("COM Port", 0x103);              // COM3 after an 8-bit cut: not what was stored
    PutDword("COM MaxAttempts", 0x7FFFFFFF);  // would retry the port practically forever
    LoadSerialSettings(Ctx());
    EXPECT_EQ(link.ComPort, 0);  // ignored: the port dialog asks
    EXPECT_EQ(link.ComMaxAttempts, kComMaxAttemptsRange.max);
}

TEST_F(SettingsLoad, BatteryThresholdsComeInWithinThePresetRangeAndShowInTheEdits) {
    battery.ApplyBatteryPreset(12);  // 9.0 to 16.0 V
    PutDword("Min Voltage", 200);
    PutDword("Full Voltage", 130);
    LoadBatterySettings(Ctx());
    EXPECT_EQ(live.MinVoltage, 160);
    EXPECT_EQ(batteryView.texts[BatteryUpDown::Min], "16.0");
    EXPECT_EQ(live.FullVoltage, 130);
    EXPECT_EQ(live.EmptyVoltage, 97);  // absent: the preset's position stays

    battery.ApplyBatteryPreset(24);  // a later detection: 18.0 to 30.0 V
    LoadBatterySettings(Ctx());
    EXPECT_EQ(live.MinVoltage, 200);  // inside the new range now
    EXPECT_EQ(live.FullVoltage, 180);
    EXPECT_EQ(live.EmptyVoltage, 213);
}

}  // namespace
}  // namespace velt::test
