#include "app/settings_io.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>
#include <variant>

#include "app/settings_table.h"
#include "status/power_actions.h"

namespace velt {
namespace {

using settings_table::kBatterySettings;
using settings_table::kMainSettings;
using settings_table::kSaveAlways;
using settings_table::kSaveLast;
using settings_table::kSaveWithLink;
using settings_table::kSaveWithSerialLink;
using settings_table::kSerialSettings;

constexpr size_t kExternalProgramCaptionChars = 25;

std::string InvalidTypeMessage(const std::string& name) { return "Invalid data type for '" + name + "'"; }
std::string RefusedWriteMessage(const std::string& name) { return "Failed to set data for '" + name + "'"; }
std::string RefusedDeleteMessage(const std::string& name) { return "Failed to delete '" + name + "'"; }

struct LoadOutcome {
    bool present = false;  // read with its kind (a wrong type counts as absent)
    bool changed = false;  // the live value differs from before
};

template <typename T>
LoadOutcome Assign(T& target, T value) {
    const bool changed = !(target == value);
    target = std::move(value);
    return {true, changed};
}

// One open key of one load or save; reads and writes report their failures
// and give way, so one bad value never stops the rest.
class KeyAccess {
public:
    KeyAccess(ISettingsKey& key, ISettingsEffects& effects) : key_(key), effects_(effects) {}

    std::optional<uint32_t> Dword(const std::string& name) {
        uint32_t v = 0;
        return Checked(key_.ReadDword(name, v), name) ? std::optional(v) : std::nullopt;
    }
    std::optional<bool> Bool(const std::string& name) {
        bool v = false;
        return Checked(key_.ReadBool(name, v), name) ? std::optional(v) : std::nullopt;
    }
    std::optional<std::string> String(const std::string& name) {
        std::string v;
        return Checked(key_.ReadString(name, v), name) ? std::optional(std::move(v)) : std::nullopt;
    }

    void WriteDword(const std::string& name, uint32_t v) { Written(key_.WriteDword(name, v), name); }
    void WriteBool(const std::string& name, bool v) { Written(key_.WriteBool(name, v), name); }
    void WriteString(const std::string& name, const std::string& v) { Written(key_.WriteString(name, v), name); }
    void DeleteIfExists(const std::string& name) {
        if (key_.ValueExists(name) && !key_.DeleteValue(name)) effects_.ShowSettingsError(RefusedDeleteMessage(name));
    }

private:
    bool Checked(ReadResult r, const std::string& name) {
        if (r == ReadResult::WrongType) effects_.ShowSettingsError(InvalidTypeMessage(name));
        return r == ReadResult::Ok;
    }
    void Written(bool ok, const std::string& name) {
        if (!ok) effects_.ShowSettingsError(RefusedWriteMessage(name));
    }

    ISettingsKey& key_;
    ISettingsEffects& effects_;
};

std::optional<BatteryUpDown> BatteryUpDownOf(Reaction r) {
    switch (r) {
        case Reaction::EmptyVoltagePosition: return BatteryUpDown::Empty;
        case Reaction::FullVoltagePosition: return BatteryUpDown::Full;
        case Reaction::MinVoltagePosition: return BatteryUpDown::Min;
        default: return std::nullopt;
    }
}

Range RangeOf(const SettingDef& def, const SettingsContext& ctx) {
    if (const auto which = BatteryUpDownOf(def.reaction)) {
        const UpDownModel m = ctx.battery.UpDown(*which);
        return {m.min, m.max};
    }
    return def.range;
}

bool Applies(const SettingDef& def, const SettingsContext& ctx) {
    return !def.forceOption || ForceOptionsSupported(ctx.osMajorVersion);
}

// Where a setting's member lives: the settings object or its serial line.
// `Settings` is TUPSSettings, const for a save.
template <typename Settings, typename T>
auto& Field(Settings& s, T TUPSSettings::*m) {
    return s.*m;
}
template <typename Settings, typename T>
auto& Field(Settings& s, T SerialLine::*m) {
    return s.Serial.*m;
}

LoadOutcome LoadInto(KeyAccess& key, const SettingDef& def, int32_t& target, const SettingsContext& ctx) {
    const auto stored = key.Dword(def.name);
    if (!stored) return {};
    // DWORDs hold the signed positions sign-extended.
    const int32_t n = static_cast<int32_t>(*stored);
    const Range range = RangeOf(def, ctx);
    if (range.Contains(n)) return Assign(target, n);
    if (def.outOfRange == OutOfRange::Ignore) return {true, false};
    return Assign(target, range.Clamp(n));
}

LoadOutcome LoadInto(KeyAccess& key, const SettingDef& def, bool& target, const SettingsContext&) {
    const auto v = key.Bool(def.name);
    return v ? Assign(target, *v) : LoadOutcome{};
}

LoadOutcome LoadInto(KeyAccess& key, const SettingDef& def, std::string& target, const SettingsContext&) {
    auto v = key.String(def.name);
    return v ? Assign(target, std::move(*v)) : LoadOutcome{};
}

LoadOutcome LoadInto(KeyAccess& key, const SettingDef& def, std::optional<std::string>& target,
                     const SettingsContext&) {
    auto v = key.String(def.name);
    if (!v) return LoadOutcome{};
    // An empty path is no program: never something to start.
    return Assign(target, v->empty() ? std::nullopt : std::optional(std::move(*v)));
}

// A decimal as a person types it into the registry editor: blanks around it,
// a comma or a dot; never the locale's, so a file moved between computers
// reads the same.
std::optional<double> ParseDecimal(std::string text) {
    const auto first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    text = text.substr(first, last - first + 1);
    for (char& c : text)
        if (c == ',') c = '.';
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Text that does not read as a number is as unusable as a value of the wrong
// type, and is reported the same way.
LoadOutcome LoadInto(KeyAccess& key, const SettingDef& def, double& target, const SettingsContext& ctx) {
    const auto text = key.String(def.name);
    if (!text) return {};
    const auto n = ParseDecimal(*text);
    if (!n) {
        ctx.effects.ShowSettingsError(InvalidTypeMessage(def.name));
        return {};
    }
    return Assign(target, std::clamp(*n, static_cast<double>(def.range.min), static_cast<double>(def.range.max)));
}

LoadOutcome LoadValue(KeyAccess& key, const SettingDef& def, const SettingsContext& ctx) {
    return std::visit([&](auto member) { return LoadInto(key, def, Field(ctx.live, member), ctx); }, def.member);
}

void React(const SettingDef& def, const LoadOutcome& outcome, const SettingsContext& ctx) {
    ISettingsEffects& fx = ctx.effects;
    switch (def.reaction) {
        case Reaction::None: break;
        case Reaction::RefreshToLink: {
            DataLockGuard guard(ctx.lock);
            ctx.link.RefreshIntervalMs = static_cast<uint32_t>(ctx.live.RefreshInterval) * 1000u;
            break;
        }
        case Reaction::SMTPReportsClick:
            if (outcome.changed) fx.SMTPReportsCBClick();
            break;
        case Reaction::LANReportsClick:
            if (outcome.changed) fx.LANReportsCBClick();
            break;
        case Reaction::HTTPServerClick:
            if (outcome.changed) fx.HTTPCBClick();
            break;
        case Reaction::HTTPAuthClick:
            if (outcome.changed) fx.HTTPAuthCBClick();
            break;
        case Reaction::ExternalProgramLabel:
            if (outcome.present && ctx.live.ExternalProgramName)
                fx.ShowExternalProgram(LabelExternalProgram(*ctx.live.ExternalProgramName));
            break;
        case Reaction::EmptyVoltagePosition:
        case Reaction::FullVoltagePosition:
        case Reaction::MinVoltagePosition:
            // Through the up-down, so its edit shows the new position.
            if (outcome.present) {
                const BatteryUpDown which = *BatteryUpDownOf(def.reaction);
                ctx.battery.SetPosition(which, ctx.battery.UpDown(which).position);
            }
            break;
    }
}

void LoadTable(std::span<const SettingDef> table, const SettingsContext& ctx) {
    const auto key = ctx.store.OpenKey(kSettingsKeyPath, KeyOpen::CreateIfMissing);
    if (!key) return;
    KeyAccess access(*key, ctx.effects);
    for (const SettingDef& def : table) {
        if (!Applies(def, ctx)) continue;
        React(def, LoadValue(access, def, ctx), ctx);
    }
}

void SaveFrom(KeyAccess& key, const SettingDef& def, int32_t value) {
    key.WriteDword(def.name, static_cast<uint32_t>(value));
}
void SaveFrom(KeyAccess& key, const SettingDef& def, bool value) { key.WriteBool(def.name, value); }
void SaveFrom(KeyAccess& key, const SettingDef& def, const std::string& value) { key.WriteString(def.name, value); }
void SaveFrom(KeyAccess& key, const SettingDef& def, double value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);  // shortest text that reads back
    key.WriteString(def.name, error == std::errc() ? std::string(text, end) : "0");
}
void SaveFrom(KeyAccess& key, const SettingDef& def, const std::optional<std::string>& value) {
    // Never stored empty: no program means no value.
    if (value && !value->empty())
        key.WriteString(def.name, *value);
    else
        key.DeleteIfExists(def.name);
}

void SaveValue(KeyAccess& key, const SettingDef& def, const TUPSSettings& s) {
    std::visit([&](auto member) { SaveFrom(key, def, Field(s, member)); }, def.member);
}

void SaveList(KeyAccess& key, std::span<const SettingDef* const> list, const SettingsContext& ctx) {
    for (const SettingDef* def : list)
        if (Applies(*def, ctx)) SaveValue(key, *def, ctx.live);
}

struct LinkState {
    bool open = false;
    bool serial = false;
};

// The serial line in use is the link's; the settings object carries it
// through a load or a save, whole, under the lock. A UPS read from a NUT
// server is a link open too: its countdown and action are set and kept.
LinkState TakeLinkState(const SettingsContext& ctx) {
    DataLockGuard guard(ctx.lock);
    ctx.live.Serial = ctx.link;
    const bool remote = ctx.live.UPSSource == kUPSSourceNut;
    return {ctx.link.UsbActive || ctx.link.ComActive || remote, ctx.link.ComActive};
}

void GiveSerialLineToLink(const SettingsContext& ctx) {
    DataLockGuard guard(ctx.lock);
    static_cast<SerialLine&>(ctx.link) = ctx.live.Serial;
}

bool HoldsProgramPath(const std::string& entry, const std::string& programPath) {
    return !programPath.empty() && entry.find(QuotedProgramPath(programPath)) != std::string::npos;
}

void LoadAutoRun(const SettingsContext& ctx) {
    ctx.live.AutoRun = false;
    const auto key = ctx.store.OpenKey(kRunKeyPath, KeyOpen::Existing);
    if (!key) return;
    KeyAccess access(*key, ctx.effects);
    const auto entry = access.String(kAutoRunValueName);
    ctx.live.AutoRun = entry && HoldsProgramPath(*entry, ctx.programPath);
}

void SaveAutoRunOn(const SettingsContext& ctx) {
    // Without the program's own path there is nothing sound to register.
    if (ctx.programPath.empty()) return;
    const auto key = ctx.store.OpenKey(kRunKeyPath, KeyOpen::CreateIfMissing);
    if (!key) return;
    std::string entry;
    // An entry of another type is replaced as one for another path would be.
    if (key->ReadString(kAutoRunValueName, entry) == ReadResult::Ok && HoldsProgramPath(entry, ctx.programPath))
        return;
    KeyAccess(*key, ctx.effects).WriteString(kAutoRunValueName, QuotedProgramPath(ctx.programPath));
}

void SaveAutoRunOff(const SettingsContext& ctx) {
    const auto key = ctx.store.OpenKey(kRunKeyPath, KeyOpen::Existing);
    if (!key) return;
    KeyAccess(*key, ctx.effects).DeleteIfExists(kAutoRunValueName);
}

}  // namespace

ExternalProgramLabel LabelExternalProgram(const std::string& path) {
    if (path.size() < kExternalProgramCaptionChars) return {path, path};
    return {path.substr(0, kExternalProgramCaptionChars) + "...", path};
}

std::string QuotedProgramPath(const std::string& programPath) { return "\"" + programPath + "\""; }

void LoadSettings(const SettingsContext& ctx) {
    LoadTable(kMainSettings, ctx);
    LoadAutoRun(ctx);
}

void LoadSerialSettings(const SettingsContext& ctx) {
    ctx.live.Serial = SerialLine{};
    LoadTable(kSerialSettings, ctx);
    GiveSerialLineToLink(ctx);
}

void LoadBatterySettings(const SettingsContext& ctx) { LoadTable(kBatterySettings, ctx); }

namespace {

bool SaveSettingsKey(const SettingsContext& ctx, LinkAccess linkAccess) {
    const auto key = ctx.store.OpenKey(kSettingsKeyPath, KeyOpen::CreateIfMissing);
    if (!key || !key->Writable()) return false;
    KeyAccess access(*key, ctx.effects);
    const bool reachable = linkAccess == LinkAccess::Reachable;
    // A worker stuck in an exchange had a link open; its serial values
    // are the link's and cannot be read, so they stay as stored.
    const LinkState link = reachable ? TakeLinkState(ctx) : LinkState{true, false};
    if (link.open) SaveList(access, kSaveWithLink, ctx);
    SaveList(access, kSaveAlways, ctx);
    // No serial link: forget the port, so the next serial search asks again.
    if (link.serial)
        SaveList(access, kSaveWithSerialLink, ctx);
    else if (reachable)
        access.DeleteIfExists(settings_table::Find("COM Port")->name);
    SaveList(access, kSaveLast, ctx);
    return true;
}

}  // namespace

bool SaveSettings(const SettingsContext& ctx, LinkAccess linkAccess) {
    const bool saved = SaveSettingsKey(ctx, linkAccess);
    // The autostart entry is a user's: a monitor without a program path of
    // its own (the service, a window saving the service's settings) leaves it.
    if (ctx.programPath.empty()) return saved;
    if (ctx.live.AutoRun)
        SaveAutoRunOn(ctx);
    else
        SaveAutoRunOff(ctx);
    return saved;
}

}  // namespace velt
