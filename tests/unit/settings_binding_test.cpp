// The tables that tie the window's settings controls to the live settings:
// every setting with a control is bound once, to a control of the right kind,
// with the range the settings store uses.
#include "ui/settings_binding.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <variant>

#include "app/settings_table.h"
#include "ui/main_layout.h"

namespace velt::ui {
namespace {

using layout::Kind;

const layout::ControlSpec* Spec(int id) {
    for (const auto& c : layout::kMainControls)
        if (c.id == id) return &c;
    return nullptr;
}

// Kept by the window itself or chosen in the port dialog, not in a bound control.
bool HasOwnHandling(const SettingDef& d) {
    const std::string name = d.name;
    return name == "COM Port" || name == "COM DTR" || name == "COM RTS" || name == "COM MaxAttempts" ||
           name == "Action" || name == "External Program Name" || name == "Min Voltage" ||
           name == "Full Voltage" || name == "Empty Voltage" || name == "NUT Device Id" ||
           // Kept in the registry only.
           name == "History Days" || name == "UPS Rating W" || name == "Battery Ah" ||
           name == "Wake Hosts" || name == "Wake Delay" || name == "Wake Min Charge" || name == "Outbox Hours";
}

template <typename Table, typename Member>
int TimesBound(const Table& table, Member member) {
    int n = 0;
    for (const auto& b : table) n += b.member == member;
    return n;
}

TEST(SettingsBinding, EverySettingWithAControlIsBoundExactlyOnce) {
    for (auto table : settings_table::kAllTables) {
        for (const SettingDef& d : table) {
            if (HasOwnHandling(d)) continue;
            int times = 0;
            if (auto* m = std::get_if<bool TUPSSettings::*>(&d.member)) times = TimesBound(binding::kChecks, *m);
            if (auto* m = std::get_if<std::string TUPSSettings::*>(&d.member)) times = TimesBound(binding::kTexts, *m);
            if (auto* m = std::get_if<int32_t TUPSSettings::*>(&d.member))
                times = TimesBound(binding::kUpDowns, *m) + TimesBound(binding::kChoices, *m);
            EXPECT_EQ(times, 1) << d.name;
        }
    }
    // AutoRun lives in the Run key, not the settings key, and still has its box.
    EXPECT_EQ(TimesBound(binding::kChecks, &TUPSSettings::AutoRun), 1);
}

TEST(SettingsBinding, EachControlIsBoundOnceAndIsOfTheRightKind) {
    std::set<int> ids;
    for (const auto& b : binding::kChecks) {
        EXPECT_TRUE(ids.insert(b.id).second) << b.id;
        ASSERT_NE(Spec(b.id), nullptr) << b.id;
        EXPECT_EQ(Spec(b.id)->kind, Kind::CheckBox) << b.id;
    }
    for (const auto& b : binding::kTexts) {
        EXPECT_TRUE(ids.insert(b.id).second) << b.id;
        ASSERT_NE(Spec(b.id), nullptr) << b.id;
        EXPECT_TRUE(Spec(b.id)->kind == Kind::TextEdit || Spec(b.id)->kind == Kind::PasswordEdit) << b.id;
    }
    for (const auto& b : binding::kUpDowns) {
        EXPECT_TRUE(ids.insert(b.id).second) << b.id;
        ASSERT_NE(Spec(b.id), nullptr) << b.id;
        EXPECT_EQ(Spec(b.id)->kind, Kind::UpDown) << b.id;
    }
    for (const auto& r : binding::kRadios) {
        EXPECT_TRUE(ids.insert(r.id).second) << r.id;
        ASSERT_NE(Spec(r.id), nullptr) << r.id;
        EXPECT_EQ(Spec(r.id)->kind, Kind::Radio) << r.id;
    }
    for (const auto& c : binding::kChoices) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
        ASSERT_NE(Spec(c.id), nullptr) << c.id;
        EXPECT_EQ(Spec(c.id)->kind, Kind::ComboList) << c.id;
    }
}

// Passwords and tokens are typed into fields that show "*"; every other text
// (addresses, names, the webhook's header line) stays readable to be checked.
TEST(SettingsBinding, SecretsAndOnlySecretsAreTypedUnseen) {
    int secrets = 0;
    for (auto table : settings_table::kAllTables) {
        for (const SettingDef& d : table) {
            auto* m = std::get_if<std::string TUPSSettings::*>(&d.member);
            if (!m) continue;
            const binding::TextBinding* b = nullptr;
            for (const auto& t : binding::kTexts)
                if (t.member == *m) b = &t;
            if (!b) continue;
            const std::string name = d.name;
            const bool secret = name.find("Password") != std::string::npos || name.find("Token") != std::string::npos;
            secrets += secret;
            ASSERT_NE(Spec(b->id), nullptr) << d.name;
            EXPECT_EQ(Spec(b->id)->kind, secret ? Kind::PasswordEdit : Kind::TextEdit) << d.name;
        }
    }
    EXPECT_GE(secrets, 5);  // SMTP, HTTP, NUT, the remote NUT server, ntfy
}

// A drop-down's item index is the stored number: every number the store
// keeps needs its item, with a text, or it would show none.
TEST(SettingsBinding, EachChoiceHasOneItemPerNumberTheStoreKeeps) {
    for (const auto& c : binding::kChoices) {
        for (const SettingDef& d : settings_table::kMainSettings) {
            auto* m = std::get_if<int32_t TUPSSettings::*>(&d.member);
            if (!m || *m != c.member) continue;
            EXPECT_EQ(d.range.min, 0) << d.name;
            EXPECT_EQ(c.Count(), d.range.max + 1) << d.name;
        }
        for (int i = 0; i < c.Count(); ++i) EXPECT_STRNE(TextOf(c.items[static_cast<size_t>(i)]), "") << c.id;
    }
}

// Every check box the user ticks for a setting is bound; the status bits are
// display only and are not.
TEST(SettingsBinding, NoSettingsCheckBoxIsLeftUnbound) {
    for (const auto& c : layout::kMainControls) {
        if (c.kind != Kind::CheckBox) continue;
        EXPECT_NE(binding::Find(binding::kChecks, c.id), nullptr) << TextOf(c.text) << " (" << c.id << ")";
    }
}

TEST(SettingsBinding, UpDownRangesAreTheStoresRanges) {
    for (const auto& b : binding::kUpDowns) {
        for (const SettingDef& d : settings_table::kMainSettings) {
            auto* m = std::get_if<int32_t TUPSSettings::*>(&d.member);
            if (!m || *m != b.member) continue;
            EXPECT_EQ(b.range.min, d.range.min) << d.name;
            EXPECT_EQ(b.range.max, d.range.max) << d.name;
        }
        // Show clamps into the range: a default outside it would show one value and hold another.
        EXPECT_TRUE(b.range.Contains(TUPSSettings{}.*b.member)) << b.id;
    }
    EXPECT_EQ(binding::Find(binding::kUpDowns, IDC_DelayUD)->increment, 10);
    EXPECT_EQ(binding::Find(binding::kUpDowns, IDC_SMTPDelayUD)->increment, 5);
    EXPECT_EQ(binding::Find(binding::kUpDowns, IDC_LANDelayUD)->increment, 5);
}

// Show checks the radio whose action the settings hold: every action the
// store accepts needs exactly one, or a loaded action would show no choice.
TEST(SettingsBinding, EachActionHasExactlyOneRadio) {
    for (int32_t action = kActionRange.min; action <= kActionRange.max; ++action) {
        int radios = 0;
        for (const auto& r : binding::kRadios) radios += r.action == action;
        EXPECT_EQ(radios, 1) << action;
    }
    for (const auto& r : binding::kRadios) EXPECT_TRUE(kActionRange.Contains(r.action)) << r.id;
}

TEST(SettingsBinding, TypedNumbersAreClampedIntoTheRange) {
    int32_t v = -1;
    EXPECT_TRUE(binding::ParseTyped("15", kRefreshIntervalRange, v));
    EXPECT_EQ(v, 15);
    EXPECT_TRUE(binding::ParseTyped("0", kRefreshIntervalRange, v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(binding::ParseTyped("99999999999999", kRefreshIntervalRange, v));
    EXPECT_EQ(v, 60);
    v = 7;
    EXPECT_FALSE(binding::ParseTyped("", kRefreshIntervalRange, v));
    EXPECT_FALSE(binding::ParseTyped("1a", kRefreshIntervalRange, v));
    EXPECT_FALSE(binding::ParseTyped("-3", kRefreshIntervalRange, v));
    EXPECT_EQ(v, 7);
}

}  // namespace
}  // namespace velt::ui
