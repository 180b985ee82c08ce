#pragma once
// Where Veltrano keeps its files: the service's in the computer's common
// application data, a user's window's in that user's local application data.
#include <filesystem>
#include <string>

namespace velt::ui {

// "C:\ProgramData" or where the system keeps it.
std::string ProgramDataFolder();
// The history's database: "<LocalAppData>\Veltrano\history.db" for a user's
// window, "<ProgramData>\Veltrano\history.db" for the service and its view.
std::filesystem::path HistoryFilePath(bool service);

}  // namespace velt::ui
