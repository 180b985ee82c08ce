#include "app/settings_copy.h"

#include <cstdint>
#include <type_traits>
#include <variant>

#include "app/settings_io.h"
#include "app/settings_table.h"

namespace velt {
namespace {

enum class ValueCopy { Copied, Absent, WrongKind, Refused };

// Integers and booleans are DWORDs; texts, optional or not, are strings.
template <typename Owner, typename T>
constexpr bool IsDwordMember(T Owner::*) {
    return std::is_same_v<T, int32_t> || std::is_same_v<T, bool>;
}

bool StoredAsDword(const SettingDef& def) {
    return std::visit([](auto member) { return IsDwordMember(member); }, def.member);
}

ValueCopy Finish(ReadResult read, bool written) {
    if (read == ReadResult::Absent) return ValueCopy::Absent;
    if (read == ReadResult::WrongType) return ValueCopy::WrongKind;
    return written ? ValueCopy::Copied : ValueCopy::Refused;
}

ValueCopy CopyValue(const SettingDef& def, ISettingsKey& from, ISettingsKey& to) {
    if (StoredAsDword(def)) {
        uint32_t v = 0;
        const ReadResult r = from.ReadDword(def.name, v);
        return Finish(r, r == ReadResult::Ok && to.WriteDword(def.name, v));
    }
    std::string s;
    const ReadResult r = from.ReadString(def.name, s);
    return Finish(r, r == ReadResult::Ok && to.WriteString(def.name, s));
}

// One refused write does not stop the others: the service gets as much of
// the user's settings as the store takes.
void CopyTables(ISettingsKey& from, ISettingsKey& to, SettingsCopyResult& result) {
    std::vector<std::string> refused;
    for (auto table : settings_table::kAllTables)
        for (const SettingDef& def : table) {
            const ValueCopy copy = CopyValue(def, from, to);
            if (copy == ValueCopy::Copied) ++result.copied;
            if (copy == ValueCopy::WrongKind) result.wrongKind.emplace_back(def.name);
            if (copy == ValueCopy::Refused) refused.emplace_back(def.name);
        }
    if (refused.empty()) {
        result.outcome = SettingsCopyOutcome::Copied;
        return;
    }
    result.why = "Failed to set data for '" + refused.front() + "'";
    if (refused.size() > 1) result.why += " and " + std::to_string(refused.size() - 1) + " more";
}

}  // namespace

SettingsCopyResult CopySettingsToMachine(ISettingsStore& user, ISettingsStore& machine) {
    SettingsCopyResult result;
    if (machine.OpenKey(kSettingsKeyPath, KeyOpen::Existing)) {
        result.outcome = SettingsCopyOutcome::MachineKeyExists;
        return result;
    }
    const auto to = machine.OpenKey(kSettingsKeyPath, KeyOpen::CreateIfMissing);
    if (!to) {
        result.why = "The machine's settings key could not be created";
        return result;
    }
    // A user key that cannot be opened gives nothing to copy, as a missing one.
    const auto from = user.OpenKey(kSettingsKeyPath, KeyOpen::Existing);
    if (!from) {
        result.outcome = SettingsCopyOutcome::UserKeyMissing;
        return result;
    }
    CopyTables(*from, *to, result);
    return result;
}

}  // namespace velt
