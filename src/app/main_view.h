#pragma once
// What the main form's logic shows or asks of the window beyond the narrower
// views of its parts. The Win32 main window implements it; tests use a
// recording fake. Main thread only.
#include <optional>
#include <string>

#include "app/settings_io.h"
#include "core/ups_settings.h"
#include "status/power_actions.h"

namespace velt {

class IMainView {
public:
    virtual ~IMainView() = default;

    // "UPS Data Stream": ReportStringE, TimeL and the spinner ProgressL.
    virtual void SetReportString(const std::string& text) = 0;
    virtual void SetTimeText(const std::string& text) = 0;
    virtual void SetSpinner(const std::string& glyph) = 0;

    virtual void AppendLogLine(const std::string& line) = 0;  // LogM
    virtual void ClearLog() = 0;

    virtual void SetStartEnabled(bool enabled) = 0;  // StartSB / StartA
    virtual void SetStopEnabled(bool enabled) = 0;   // StopSB / StopA

    // Puts every settings control into the state the live settings hold,
    // without running click handlers (they ran during the load).
    virtual void ShowSettings(const TUPSSettings& live) = 0;
    // Each present answer enables or disables a toolbar button and its radio button.
    virtual void ApplyPowerAvailability(const PowerActionAvailability& availability) = 0;
    virtual void SetForceOptionsEnabled(bool enabled) = 0;  // ForceSuspendCB, ForceShutdownCB
    virtual void ShowExternalProgram(const ExternalProgramLabel& label) = 0;  // ExL
    virtual void ShowAbout(const std::string& osLabel, const std::string& fileVersion) = 0;  // OSL, VersionL
    virtual void ShowAboutBox() = 0;  // "/A"

    // Save dialog "Save Log As" proposing `proposedName`; none when cancelled.
    virtual std::optional<std::string> AskSaveLogPath(const std::string& proposedName) = 0;
    // Open dialog for the external program; none when cancelled.
    virtual std::optional<std::string> AskExternalProgram() = 0;
    virtual void ShowError(const std::string& message) = 0;  // error message box
    virtual void SetHttpPortEditable(bool editable) = 0;         // HTTPPortE
    virtual void SetNutPortEditable(bool editable) = 0;          // NUTPortE
    virtual void SetHttpCredentialsEditable(bool editable) = 0;  // HTTPUserE, HTTPPasswordE

    // Closes the main window for good (the exit-requested flag is set).
    virtual void CloseWindow() = 0;
    // Hides the window into the notification area.
    virtual void MinimizeToTray() = 0;
};

}  // namespace velt
