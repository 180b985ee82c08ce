#pragma once
// The file dialogs of the main window: where to save the log or the
// history's CSV, and which program to run. Each gives none when cancelled. Main thread only.
#include <windows.h>

#include <optional>
#include <string>

namespace velt::ui {

// "Save Log As", proposing `proposedName`; a name typed without an extension gets ".txt".
std::optional<std::string> AskSaveLogFile(HWND owner, HINSTANCE inst, const std::string& proposedName);
// "Export History", proposing `proposedName`; a name typed without an extension gets ".csv".
std::optional<std::string> AskSaveCsvFile(HWND owner, HINSTANCE inst, const std::string& proposedName);
// An existing program to open.
std::optional<std::string> AskProgramFile(HWND owner, HINSTANCE inst);

}  // namespace velt::ui
