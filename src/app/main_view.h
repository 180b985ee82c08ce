#pragma once
// What the main form's logic shows or asks of the window. The Win32 main window
// implements it; tests use a recording fake. Main thread only.
#include <optional>
#include <string>

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
    virtual void SetStatusText(const std::string& text) = 0;  // single-panel status bar

    virtual void SetStartEnabled(bool enabled) = 0;  // StartSB / StartA
    virtual void SetStopEnabled(bool enabled) = 0;   // StopSB / StopA

    virtual int RefreshSeconds() const = 0;  // RefreshUD position, 1..60

    // Save dialog "Save Log As" proposing `proposedName`; none when cancelled.
    virtual std::optional<std::string> AskSaveLogPath(const std::string& proposedName) = 0;
    virtual void ShowError(const std::string& message) = 0;  // error message box
};

}  // namespace velt
