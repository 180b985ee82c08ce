#include "ui/win32/file_dialogs.h"

#include <commdlg.h>

#include <cstring>

#include "sys/win32/loaded_module.h"
#include "ui/string_ids.h"
#include "ui/win32/string_resources.h"

namespace velt::ui {

namespace {

std::optional<std::string> AskFile(OPENFILENAMEA& ofn, char (&file)[MAX_PATH], bool save) {
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.nFilterIndex = 1;
    // Loaded only while a file dialog is up: the library pulls in the printing
    // stack, which would otherwise sit in memory for the whole run.
    using FileDialog = BOOL(WINAPI*)(LPOPENFILENAMEA);
    const win::LoadedModule dialogs("comdlg32.dll");
    const auto show = dialogs.Find<FileDialog>(save ? "GetSaveFileNameA" : "GetOpenFileNameA");
    if (!show || !show(&ofn)) return std::nullopt;
    return std::string(file);
}

std::optional<std::string> AskSaveFile(HWND owner, HINSTANCE inst, const std::string& proposedName, StringId title,
                                       StringId filter, const char* extension) {
    char file[MAX_PATH] = {};
    std::strncpy(file, proposedName.c_str(), MAX_PATH - 1);
    OPENFILENAMEA ofn{};
    ofn.hwndOwner = owner;
    const std::string filterText = LoadFilter(inst, filter);
    const std::string titleText = LoadText(inst, title);
    ofn.lpstrFilter = filterText.c_str();
    ofn.lpstrTitle = titleText.c_str();
    ofn.lpstrDefExt = extension;
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return AskFile(ofn, file, true);
}

}  // namespace

std::optional<std::string> AskSaveLogFile(HWND owner, HINSTANCE inst, const std::string& proposedName) {
    return AskSaveFile(owner, inst, proposedName, IDS_SaveLogTitle, IDS_SaveLogFilter, "txt");
}

std::optional<std::string> AskSaveCsvFile(HWND owner, HINSTANCE inst, const std::string& proposedName) {
    return AskSaveFile(owner, inst, proposedName, IDS_ExportTitle, IDS_CsvFilter, "csv");
}

std::optional<std::string> AskProgramFile(HWND owner, HINSTANCE inst) {
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.hwndOwner = owner;
    const std::string filter = LoadFilter(inst, IDS_ProgramFilter);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrDefExt = "exe";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return AskFile(ofn, file, false);
}

}  // namespace velt::ui
