#include "app/settings_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
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

struct Stores {
    MemorySettingsStore user, machine;
    std::vector<std::string> names;  // every value the program reads from the key

    Stores() {
        for (auto table : settings_table::kAllTables)
            for (const SettingDef& def : table) names.emplace_back(def.name);
    }
    // Every value stored as one kind, told apart by its index; DWORDs with
    // the top bit, where negative positions live.
    void FillUser(Type kind) {
        for (uint32_t i = 0; i < names.size(); ++i)
            user.Put(kKey, names[i], kind == Type::Dword ? StoredValue::Dword(0xFFFFFF00u + i)
                                                         : StoredValue::String("text " + std::to_string(i)));
    }
    SettingsCopyResult Copy() { return CopySettingsToMachine(user, machine); }
};

bool Holds(const std::vector<std::string>& v, const std::string& name) {
    return std::find(v.begin(), v.end(), name) != v.end();
}

// Stored all as DWORDs, then all as strings: each value is copied in exactly
// one of the two, the one of its kind, and named as of another kind in the other.
TEST(SettingsCopy, EachValueIsCopiedWithItsOwnKindOnly) {
    struct Case {
        Type stored;
        std::vector<std::string> copiedSome, leftSome;
    };
    const Case cases[] = {
        {Type::Dword, {"COM Port", "Empty Voltage", "Delay Action", "NUT Commands", "UPS Rating W"},
         {"SMTP Host", "NUT Device Id", "Battery Ah"}},
        {Type::String, {"External Program Name", "NUT Device Id", "Remote Host", "Battery Ah"},
         {"Refresh Interval", "COM DTR", "History Days"}},
    };
    std::vector<std::string> copiedOnce;
    for (const Case& c : cases) {
        Stores s;
        s.FillUser(c.stored);
        s.user.Put(kKey, "Window Left", StoredValue::Dword(100));  // not the program's: left behind
        s.user.Put(kRunKeyPath, kAutoRunValueName, StoredValue::String("\"C:\\veltrano.exe\""));
        const SettingsCopyResult r = s.Copy();
        EXPECT_EQ(r.outcome, Outcome::Copied);
        EXPECT_EQ(r.copied + r.wrongKind.size(), s.names.size());
        for (const auto& name : c.copiedSome) EXPECT_FALSE(Holds(r.wrongKind, name)) << name;
        for (const auto& name : c.leftSome) EXPECT_TRUE(Holds(r.wrongKind, name)) << name;
        for (const auto& [name, value] : s.machine.keys[kKey]) {
            const StoredValue& from = *s.user.Find(kKey, name);
            EXPECT_TRUE(value.type == from.type && value.dword == from.dword && value.text == from.text) << name;
            copiedOnce.push_back(name);
        }
        EXPECT_EQ(s.machine.keys.size(), 1u);  // no Run key: autostart stays the user's own
    }
    std::sort(copiedOnce.begin(), copiedOnce.end());
    std::vector<std::string> all = Stores().names;
    std::sort(all.begin(), all.end());
    EXPECT_EQ(copiedOnce, all);
}

TEST(SettingsCopy, AnExistingMachineKeyIsNeverWritten) {
    Stores s;
    s.user.Put(kKey, "Delay", StoredValue::Dword(30));
    EXPECT_EQ(s.Copy().outcome, Outcome::Copied);
    EXPECT_EQ(s.machine.journal, std::vector<std::string>{"set Delay"});
    // A second install, after the user changed the value, keeps the first copy.
    s.user.Put(kKey, "Delay", StoredValue::Dword(5));
    s.user.Put(kKey, "SMTP Host", StoredValue::String("mail"));
    EXPECT_EQ(s.Copy().outcome, Outcome::MachineKeyExists);
    EXPECT_EQ(s.machine.journal.size(), 1u);
    EXPECT_EQ(s.machine.Find(kKey, "Delay")->dword, 30u);
}

TEST(SettingsCopy, NoUserKeyGivesAnEmptyMachineKey) {
    for (const bool unopenable : {false, true}) {
        SCOPED_TRACE(unopenable ? "user key unopenable" : "user key missing");
        Stores s;
        if (unopenable) {
            s.FillUser(Type::Dword);
            s.user.unopenable.insert(kKey);
        }
        EXPECT_EQ(s.Copy().outcome, Outcome::UserKeyMissing);
        ASSERT_EQ(s.machine.keys.count(kKey), 1u);
        EXPECT_TRUE(s.machine.keys[kKey].empty());
    }
}

TEST(SettingsCopy, FailuresSayWhyAndTheRestIsStillCopied) {
    struct Case {
        std::vector<std::string> refused;
        bool machineUnopenable;
        const char* why;
    };
    const Case cases[] = {
        {{}, true, "The machine's settings key could not be created"},
        {{"Delay"}, false, "Failed to set data for 'Delay'"},
        // Named in the tables' order.
        {{"Empty Voltage", "COM DTR", "Refresh Interval"}, false, "Failed to set data for 'Refresh Interval' and 2 more"},
    };
    Stores baseline;
    baseline.FillUser(Type::Dword);
    const int dwords = baseline.Copy().copied;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Stores s;
        s.FillUser(Type::Dword);
        if (c.machineUnopenable) s.machine.unopenable.insert(kKey);
        s.machine.refusedWrites.insert(c.refused.begin(), c.refused.end());
        const SettingsCopyResult r = s.Copy();
        EXPECT_EQ(r.outcome, Outcome::Failed);
        EXPECT_EQ(r.why, c.why);
        EXPECT_EQ(r.copied, c.machineUnopenable ? 0 : dwords - static_cast<int>(c.refused.size()));
    }
}

}  // namespace
}  // namespace velt::test
