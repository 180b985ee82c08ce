#include <gtest/gtest.h>

#include "settings_fixture.h"

namespace velt::test {
namespace {

using SettingsSave = SettingsRig;

std::vector<std::string> Sets(std::initializer_list<const char*> names) {
    std::vector<std::string> out;
    for (const char* n : names) out.push_back(std::string("set ") + n);
    return out;
}

const std::vector<std::string> kAlways =
    Sets({"SMTP Host", "SMTP Login", "SMTP From", "SMTP Mail", "SMTP Port", "SMTP Password", "SMTP Auth",
          "SMTP Reports", "SMTP Warnings", "SMTP Delay", "HTTP Server", "HTTP Port", "HTTP Authentication",
          "HTTP User", "HTTP Password", "LAN Server", "LAN Reports", "LAN Warnings", "LAN Delay", "SMTP Security",
          "NUT Server", "NUT Port", "NUT UPS Name", "NUT User", "NUT Password", "NUT Allowed Hosts",
          "NUT Shutdown Wait", "NUT Device Id", "NUT Commands", "UPS Source", "Remote Host", "Remote Port",
          "Remote UPS", "Remote User", "Remote Password", "Remote Dead Time", "History Days", "UPS Rating W",
          "Battery Ah", "Wake Hosts", "Wake Delay", "Wake Min Charge", "Outbox Hours", "Webhook URL",
          "Webhook Header", "Webhook Warnings", "Webhook Reports", "Ntfy URL", "Ntfy Token", "Ntfy Warnings"});
const std::vector<std::string> kLast = Sets({"Q1", "QS", "I", "F", "Balloon Hints"});

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST_F(SettingsSave, WithoutALinkOnlyTheAlwaysWrittenValuesChangeAndThePortIsForgotten) {
    PutDword("Delay", 300);
    PutDword("COM Port", 3);
    PutDword("COM DTR", 1);
    live.Delay = 900;
    SaveSettings(Ctx());
    EXPECT_EQ(store.journal, Join({kAlways, {"delete COM Port"}, kLast}));
    EXPECT_EQ(Stored("Delay")->dword, 300u);
    EXPECT_FALSE(Stored("COM Port"));
    EXPECT_EQ(Stored("COM DTR")->dword, 1u);
    EXPECT_EQ(store.openKeys, 0);
}

// Over USB, and with the UPS read from a NUT server, the countdown's values
// are the link's and are written; no serial port is open to keep.
TEST_F(SettingsSave, OverUsbOrFromANutServerTheLinkValuesAreWrittenButThePortIsForgotten) {
    const auto withLink =
        Sets({"Refresh Interval", "Min Voltage", "Delay", "Delay Action", "Voltage Action", "UPS Shutdown",
              "UPS Shutdown Delay", "External Program Run", "Full Voltage", "Empty Voltage", "Action",
              "IP Voltage", "IP Fault Voltage", "OP Voltage", "OP Current", "IP Frequency", "Battery Voltage",
              "Temperature", "UPS Status", "Power Fail", "Battery Low", "AVR", "UPS Fail"});
    for (const bool usb : {true, false}) {
        SCOPED_TRACE(usb ? "usb" : "nut server");
        store.journal.clear();
        link.UsbActive = usb;
        live.UPSSource = usb ? kUPSSourceLocal : kUPSSourceNut;
        PutDword("COM Port", 3);
        live.Delay = 900;
        SaveSettings(Ctx());
        EXPECT_EQ(store.journal, Join({withLink, kAlways, {"delete COM Port"}, kLast}));
        EXPECT_EQ(Stored("Delay")->dword, 900u);
    }
}

TEST_F(SettingsSave, EverySettingComesBackAsSaved) {
    osMajor = 5;
    link.ComActive = true;
    link.ComPort = 7;
    link.ComDtr = true;
    link.ComMaxAttempts = 0;
    TUPSSettings s;
    s.RefreshInterval = 17, s.Delay = 1230, s.MinVoltage = 101, s.FullVoltage = 150, s.EmptyVoltage = 91;
    s.Action = 4, s.UPSShutdownDelay = 33, s.SMTPDelay = 45, s.LANDelay = 175;
    s.Q1 = s.QS = s.F = s.DelayAction = s.VoltageAction = s.SMTPAuth = s.BalloonHints = false;
    s.I = s.UPSShutdown = s.ExternalProgramRun = s.ForceShutdown = s.ForceSuspend = true;
    s.IPVoltage = s.IPFaultVoltage = s.OPVoltage = s.OPCurrent = s.IPFrequency = s.BatteryVoltage = false;
    s.Temperature = s.UPSStatus = s.PowerFail = s.BatteryLow = s.AVR = s.UPSFail = false;
    s.SMTPReports = s.SMTPWarnings = s.LANReports = s.LANWarnings = s.HTTPServer = s.HTTPAuthentication = true;
    s.ExternalProgramName = "C:\\ups\\off.cmd";
    s.SMTPHost = "mail.lan", s.SMTPPort = "587", s.SMTPLogin = "me", s.SMTPPassword = "pw";
    s.SMTPFrom = "a@b", s.SMTPMail = "c@d; e@f", s.HTTPPort = "81", s.HTTPUser = "u", s.HTTPPassword = "p";
    s.LANServer = "DESK";
    s.HistoryDays = 30, s.UPSRatingW = 900, s.BatteryAh = 7.2;
    s.WakeHosts = "00:11:22:33:44:55@192.168.1.255", s.WakeDelay = 0, s.WakeMinCharge = 80;
    s.Serial = {.ComPort = 7, .ComDtr = true, .ComMaxAttempts = 0};
    live = s;
    live.Serial = {.ComPort = 1};  // the link holds the serial values
    SaveSettings(Ctx());

    live = TUPSSettings{};
    LoadSettings(Ctx());
    LoadSerialSettings(Ctx());
    LoadBatterySettings(Ctx());
    EXPECT_EQ(live, s);
    EXPECT_TRUE(effects.errors.empty());
}

// A DWORD holds no fraction: the capacity is text, written so that it reads
// back as the same number whatever the computer's locale.
TEST_F(SettingsSave, TheBatteryCapacityIsStoredAsItsShortestDecimalText) {
    const struct {
        double ah;
        const char* text;
    } cases[] = {{0, "0"}, {7.2, "7.2"}, {9, "9"}, {12.35, "12.35"}, {0.1 + 0.2, "0.30000000000000004"}};
    for (const auto& c : cases) {
        live.BatteryAh = c.ah;
        SaveSettings(Ctx());
        ASSERT_EQ(Stored("Battery Ah")->type, StoredValue::Type::String);
        EXPECT_EQ(Stored("Battery Ah")->text, c.text);
        live.BatteryAh = -1;
        LoadSettings(Ctx());
        EXPECT_EQ(live.BatteryAh, c.ah) << c.text;
    }
}

TEST_F(SettingsSave, WithoutAChosenProgramTheStoredNameIsDeleted) {
    link.UsbActive = true;
    PutString("External Program Name", "C:\\old.bat");
    SaveSettings(Ctx());
    EXPECT_FALSE(Stored("External Program Name"));

    live.ExternalProgramName = "";  // never stored empty
    PutString("External Program Name", "C:\\old.bat");
    SaveSettings(Ctx());
    EXPECT_FALSE(Stored("External Program Name"));

    live.ExternalProgramName = "C:\\new.bat";
    SaveSettings(Ctx());
    EXPECT_EQ(Stored("External Program Name")->text, "C:\\new.bat");
}

TEST_F(SettingsSave, ForceOptionsStoredOnAnOlderSystemSurviveOnANewerOne) {
    link.UsbActive = true;
    PutDword("Force Shutdown", 1);
    SaveSettings(Ctx());
    EXPECT_EQ(Stored("Force Shutdown")->dword, 1u);
    EXPECT_FALSE(Stored("Force Suspend"));

    osMajor = 5;
    SaveSettings(Ctx());
    EXPECT_EQ(Stored("Force Shutdown")->dword, 0u);
    EXPECT_EQ(Stored("Force Suspend")->dword, 0u);
}

TEST_F(SettingsSave, ARefusedWriteIsReportedAndTheSaveGoesOn) {
    store.refusedWrites = {"SMTP Port", "COM Port", kAutoRunValueName};
    PutDword("COM Port", 2);
    live.AutoRun = true;
    SaveSettings(Ctx());
    EXPECT_EQ(effects.errors, (std::vector<std::string>{"Failed to set data for 'SMTP Port'",
                                                        "Failed to delete 'COM Port'",
                                                        "Failed to set data for 'Veltrano'"}));
    EXPECT_EQ(store.journal, Join({kAlways, {"delete COM Port"}, kLast, {"set Veltrano"}}));
    EXPECT_EQ(Stored("Balloon Hints")->dword, 1u);
}

TEST_F(SettingsSave, AutoRunOnWritesTheQuotedPathUnlessTheEntryAlreadyHoldsIt) {
    const std::string quoted = std::string("\"") + kProgram + "\"";
    live.AutoRun = true;
    SaveSettings(Ctx());
    ASSERT_TRUE(RunEntry());
    EXPECT_EQ(RunEntry()->text, quoted);

    store.Put(kRunKeyPath, kAutoRunValueName, StoredValue::String(quoted + " /A"));
    SaveSettings(Ctx());
    EXPECT_EQ(RunEntry()->text, quoted + " /A");  // left as it is

    for (StoredValue other : {StoredValue::String("\"C:\\Old\\veltrano.exe\""), StoredValue::Dword(1)}) {
        store.Put(kRunKeyPath, kAutoRunValueName, other);
        SaveSettings(Ctx());
        EXPECT_EQ(RunEntry()->type, StoredValue::Type::String);
        EXPECT_EQ(RunEntry()->text, quoted);
    }
    EXPECT_TRUE(effects.errors.empty());
}

TEST_F(SettingsSave, AutoRunOffDeletesTheEntryButNeverCreatesTheRunKey) {
    SaveSettings(Ctx());
    EXPECT_FALSE(store.keys.count(kRunKeyPath));

    store.Put(kRunKeyPath, kAutoRunValueName, StoredValue::String("\"x\""));
    store.Put(kRunKeyPath, "Other", StoredValue::String("\"y\""));
    SaveSettings(Ctx());
    EXPECT_FALSE(RunEntry());
    EXPECT_TRUE(store.Find(kRunKeyPath, "Other"));
}

TEST_F(SettingsSave, AnUnopenableSettingsKeyStillUpdatesTheAutoRunEntry) {
    store.unopenable.insert(kSettingsKeyPath);
    link.ComActive = true;
    live.AutoRun = true;
    SaveSettings(Ctx());
    EXPECT_FALSE(store.keys.count(kSettingsKeyPath));
    ASSERT_TRUE(RunEntry());
    EXPECT_TRUE(effects.errors.empty());
}

// The service and a window saving the service's settings store them under
// HKLM, whose Run key starts a program for every user: they have no program
// path of their own and leave the entry as it is, on or off.
TEST_F(SettingsSave, AMonitorWithoutAProgramPathLeavesTheAutoRunEntry) {
    SettingsContext machine = Ctx();
    machine.programPath.clear();
    for (const bool on : {true, false}) {
        live.AutoRun = on;
        store.Put(kRunKeyPath, kAutoRunValueName, StoredValue::String("\"x\""));
        SaveSettings(machine);
        ASSERT_TRUE(RunEntry());
        EXPECT_EQ(RunEntry()->text, "\"x\"");
    }
}

}  // namespace
}  // namespace velt::test
