#pragma once
// Copies the settings between the per-user store and the live settings object:
// loaded in two steps at start-up and a third (the battery thresholds) at the
// end of every detection; saved when the window closes and on "Save Settings".
// Main thread only.
#include <cstdint>
#include <string>

#include "core/ups_settings.h"
#include "core/ups_link.h"
#include "status/battery_charge.h"
#include "sys/data_lock.h"
#include "sys/settings_store.h"

namespace velt {

inline constexpr char kSettingsKeyPath[] = "\\Software\\Quorvane\\Veltrano";
inline constexpr char kRunKeyPath[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kAutoRunValueName[] = "Veltrano";

// What ExL shows for the external program: the whole path as the hint, and as
// caption the path itself when shorter than 25 characters, else its first 25
// characters and "...". Also used when the user chooses a program.
struct ExternalProgramLabel {
    std::string caption, hint;
};
ExternalProgramLabel LabelExternalProgram(const std::string& path);

// The autostart entry: the program path in double quotes, no switches.
std::string QuotedProgramPath(const std::string& programPath);

// What putting a loaded value into its control sets off in the window. The
// click handlers run only when the loaded value changes the box's state, and
// the live settings already hold the new state when they run.
class ISettingsEffects {
public:
    virtual ~ISettingsEffects() = default;

    virtual void SMTPReportsCBClick() = 0;  // runs or stops SMTPReportsTimer; its period stays
    virtual void LANReportsCBClick() = 0;   // runs or stops LANReportsTimer; its period stays
    // Starts or stops the HTTP server on "HTTP Port" (already loaded), and
    // enables HTTPPortE exactly while the server is not listening.
    virtual void HTTPCBClick() = 0;
    virtual void HTTPAuthCBClick() = 0;  // HTTPUserE and HTTPPasswordE enabled while on
    virtual void ShowExternalProgram(const ExternalProgramLabel& label) = 0;  // ExL
    // A value of the wrong type, or a refused write; shown in an error message box.
    virtual void ShowSettingsError(const std::string& message) = 0;
};

struct SettingsContext {
    ISettingsStore& store;
    TUPSSettings& live;
    TUPSLink& link;  // read and written under `lock`
    IDataLock& lock;
    BatteryCharge& battery;  // the battery up-downs' ranges and changing rule
    ISettingsEffects& effects;
    uint32_t osMajorVersion = 5;
    std::string programPath;  // full path of the running program, for the autostart entry
};

// The settings key and the autostart state, after the computer's name has
// gone into "LAN Server". Sets the link's poll interval under the lock.
void LoadSettings(const SettingsContext& ctx);
// The four serial values, into the live settings and the link. Before the
// I/O worker exists.
void LoadSerialSettings(const SettingsContext& ctx);
// "Min Voltage", "Full Voltage", "Empty Voltage", at the end of each detection
// over an open link, after the battery preset has set their ranges.
void LoadBatterySettings(const SettingsContext& ctx);
// Whether the save may take the data lock to read the link's state.
enum class LinkAccess { Reachable, Unreachable };

// Writes what the link state allows, then the autostart entry. A refused
// write is reported and the save goes on. With the link unreachable, the link
// counts as open and the serial line's values are neither written nor deleted.
// False when the store would not take them (a key that may only be read).
bool SaveSettings(const SettingsContext& ctx, LinkAccess linkAccess = LinkAccess::Reachable);

}  // namespace velt
