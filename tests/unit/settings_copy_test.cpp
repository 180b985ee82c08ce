#include "app/settings_copy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_io.h"
#include "app/settings_table.h"
#include "memory_settings_store.h"

namespace velt::test {
namespace {

using Type = StoredValue::Type;
using Outcome = SettingsCopyOutcome;

const std::string kKey = kSettingsKeyPath;

// Every value of the settings key the program reads, with the kind it reads
// it as, written out here so a kind changed in the table shows as a failure.
struct KnownValue {
    const char* name;
    Type type;
};
const KnownValue kKnown[] = {
    {"Refresh Interval", Type::Dword}, {"Force Shutdown", Type::Dword}, {"Force Suspend", Type::Dword},
    {"Delay Action", Type::Dword}, {"Voltage Action", Type::Dword}, {"Delay", Type::Dword},
    {"Action", Type::Dword}, {"Balloon Hints", Type::Dword}, {"UPS Shutdown", Type::Dword},
    {"UPS Shutdown Delay", Type::Dword}, {"External Program Run", Type::Dword},
    {"External Program Name", Type::String}, {"IP Voltage", Type::Dword}, {"IP Fault Voltage", Type::Dword},
    {"OP Voltage", Type::Dword}, {"OP Current", Type::Dword}, {"IP Frequency", Type::Dword},
    {"Battery Voltage", Type::Dword}, {"Temperature", Type::Dword}, {"UPS Status", Type::Dword},
    {"Power Fail", Type::Dword}, {"Battery Low", Type::Dword}, {"AVR", Type::Dword}, {"UPS Fail", Type::Dword},
    {"SMTP Host", Type::String}, {"SMTP Login", Type::String}, {"SMTP From", Type::String},
    {"SMTP Mail", Type::String}, {"SMTP Port", Type::String}, {"SMTP Password", Type::String},
    {"SMTP Auth", Type::Dword}, {"SMTP Reports", Type::Dword}, {"SMTP Warnings", Type::Dword},
    {"SMTP Delay", Type::Dword}, {"LAN Server", Type::String}, {"LAN Reports", Type::Dword},
    {"LAN Warnings", Type::Dword}, {"LAN Delay", Type::Dword}, {"HTTP Port", Type::String},
    {"HTTP Server", Type::Dword}, {"HTTP User", Type::String}, {"HTTP Password", Type::String},
    {"HTTP Authentication", Type::Dword}, {"SMTP Security", Type::Dword}, {"NUT Server", Type::Dword},
    {"NUT Port", Type::String}, {"NUT UPS Name", Type::String}, {"NUT User", Type::String},
    {"NUT Password", Type::String}, {"NUT Allowed Hosts", Type::String}, {"NUT Shutdown Wait", Type::Dword},
    {"NUT Device Id", Type::String}, {"NUT Commands", Type::Dword}, {"UPS Source", Type::Dword},
    {"Remote Host", Type::String}, {"Remote Port", Type::String}, {"Remote UPS", Type::String},
    {"Remote User", Type::String}, {"Remote Password", Type::String}, {"Remote Dead Time", Type::Dword},
    {"Q1", Type::Dword}, {"QS", Type::Dword}, {"F", Type::Dword}, {"I", Type::Dword},
    {"COM Port", Type::Dword}, {"COM DTR", Type::Dword}, {"COM RTS", Type::Dword},
    {"COM MaxAttempts", Type::Dword}, {"Min Voltage", Type::Dword}, {"Full Voltage", Type::Dword},
    {"Empty Voltage", Type::Dword},
};

// A value of the kind given, told apart by its index; DWORDs run to the top
// bit, where a negative position sign-extended lives.
StoredValue Sample(Type type, size_t i) {
    if (type == Type::String) return StoredValue::String("text " + std::to_string(i));
    return StoredValue::Dword(i % 2 ? 0xFFFFFF00u + static_cast<uint32_t>(i) : static_cast<uint32_t>(i));
}

struct Stores {
    MemorySettingsStore user, machine;

    void FillUser() {
        for (size_t i = 0; i < std::size(kKnown); ++i) user.Put(kKey, kKnown[i].name, Sample(kKnown[i].type, i));
    }
    SettingsCopyResult Copy() { return CopySettingsToMachine(user, machine); }
};

TEST(SettingsCopy, EveryKnownValueArrivesWithItsKindAndValue) {
    Stores s;
    s.FillUser();
    // Stored beside the settings but not the program's: left behind.
    s.user.Put(kKey, "Window Left", StoredValue::Dword(100));
    s.user.Put(kRunKeyPath, kAutoRunValueName, StoredValue::String("\"C:\\veltrano.exe\""));

    const SettingsCopyResult r = s.Copy();
    EXPECT_EQ(r.outcome, Outcome::Copied);
    EXPECT_EQ(r.copied, static_cast<int>(std::size(kKnown)));
    EXPECT_TRUE(r.wrongKind.empty());
    EXPECT_TRUE(r.why.empty());
    for (size_t i = 0; i < std::size(kKnown); ++i) {
        SCOPED_TRACE(kKnown[i].name);
        const StoredValue* v = s.machine.Find(kKey, kKnown[i].name);
        ASSERT_NE(v, nullptr);
        const StoredValue want = Sample(kKnown[i].type, i);
        EXPECT_EQ(v->type, want.type);
        EXPECT_EQ(v->dword, want.dword);
        EXPECT_EQ(v->text, want.text);
    }
    size_t inTables = 0;
    for (auto table : settings_table::kAllTables) inTables += table.size();
    EXPECT_EQ(inTables, std::size(kKnown)) << "a new setting: add it and its kind above";
    EXPECT_EQ(s.machine.keys.size(), 1u);  // no Run key: autostart is the user's own
    EXPECT_EQ(s.machine.keys[kKey].size(), std::size(kKnown));
    EXPECT_EQ(s.machine.openKeys + s.user.openKeys, 0);
}

TEST(SettingsCopy, OnlyValuesPresentAreWritten) {
    Stores s;
    s.user.Put(kKey, "COM Port", StoredValue::Dword(3));
    s.user.Put(kKey, "External Program Name", StoredValue::String(""));  // stored empty: carried as it is
    const SettingsCopyResult r = s.Copy();
    EXPECT_EQ(r.outcome, Outcome::Copied);
    EXPECT_EQ(r.copied, 2);
    EXPECT_EQ(s.machine.journal, (std::vector<std::string>{"set External Program Name", "set COM Port"}));
}

TEST(SettingsCopy, ValuesOfAnotherKindAreLeftBehindAndNamed) {
    struct Case {
        const char* name;
        StoredValue stored;
    };
    const Case cases[] = {
        {"Delay", StoredValue::String("30")},
        {"SMTP Host", StoredValue::Dword(1)},
        {"External Program Name", StoredValue::Dword(0)},
        {"COM Port", StoredValue::Binary()},
        {"Empty Voltage", StoredValue::String("10")},
    };
    Stores s;
    s.FillUser();
    for (const Case& c : cases) s.user.Put(kKey, c.name, c.stored);

    const SettingsCopyResult r = s.Copy();
    EXPECT_EQ(r.outcome, Outcome::Copied);
    EXPECT_EQ(r.copied, static_cast<int>(std::size(kKnown) - std::size(cases)));
    // In the order the tables hold them.
    EXPECT_EQ(r.wrongKind, (std::vector<std::string>{"Delay", "External Program Name", "SMTP Host", "COM Port",
                                                    "Empty Voltage"}));
    for (const Case& c : cases) EXPECT_EQ(s.machine.Find(kKey, c.name), nullptr) << c.name;
}

TEST(SettingsCopy, AnExistingMachineKeyIsNeverWritten) {
    struct Case {
        const char* what;
        bool machineValues;
    };
    for (const Case c : {Case{"empty machine key", false}, Case{"machine key with values", true}}) {
        SCOPED_TRACE(c.what);
        Stores s;
        s.FillUser();
        s.machine.keys[kKey];
        if (c.machineValues) s.machine.Put(kKey, "Delay", StoredValue::Dword(99));
        const SettingsCopyResult r = s.Copy();
        EXPECT_EQ(r.outcome, Outcome::MachineKeyExists);
        EXPECT_EQ(r.copied, 0);
        EXPECT_TRUE(s.machine.journal.empty());
        EXPECT_EQ(s.machine.keys[kKey].size(), c.machineValues ? 1u : 0u);
    }
    // A second install, after the user changed a value, keeps the first copy.
    Stores twice;
    twice.user.Put(kKey, "Delay", StoredValue::Dword(30));
    EXPECT_EQ(twice.Copy().outcome, Outcome::Copied);
    twice.user.Put(kKey, "Delay", StoredValue::Dword(5));
    EXPECT_EQ(twice.Copy().outcome, Outcome::MachineKeyExists);
    EXPECT_EQ(twice.machine.Find(kKey, "Delay")->dword, 30u);
}

TEST(SettingsCopy, NoUserSettingsGiveAnEmptyMachineKey) {
    for (const bool unopenable : {false, true}) {
        SCOPED_TRACE(unopenable ? "user key unopenable" : "user key missing");
        Stores s;
        if (unopenable) {
            s.FillUser();
            s.user.unopenable.insert(kKey);
        }
        const SettingsCopyResult r = s.Copy();
        EXPECT_EQ(r.outcome, Outcome::UserKeyMissing);
        ASSERT_EQ(s.machine.keys.count(kKey), 1u);
        EXPECT_TRUE(s.machine.keys[kKey].empty());
    }
}

TEST(SettingsCopy, FailuresSayWhyAndTheRestIsStillCopied) {
    Stores unopenable;
    unopenable.FillUser();
    unopenable.machine.unopenable.insert(kKey);
    SettingsCopyResult r = unopenable.Copy();
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_EQ(r.why, "The machine's settings key could not be created");

    struct Case {
        std::vector<std::string> refused;
        const char* why;
    };
    const Case cases[] = {
        {{"NUT Port"}, "Failed to set data for 'NUT Port'"},
        {{"Empty Voltage", "Delay", "COM DTR"}, "Failed to set data for 'Delay' and 2 more"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Stores s;
        s.FillUser();
        s.machine.refusedWrites.insert(c.refused.begin(), c.refused.end());
        r = s.Copy();
        EXPECT_EQ(r.outcome, Outcome::Failed);
        EXPECT_EQ(r.why, c.why);
        EXPECT_EQ(r.copied, static_cast<int>(std::size(kKnown) - c.refused.size()));
    }
}

}  // namespace
}  // namespace velt::test
