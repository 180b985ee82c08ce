#include "ui/win32/known_folders.h"

#include <windows.h>
#include <shlobj.h>

namespace velt::ui {

namespace {

std::filesystem::path KnownFolder(int csidl, const wchar_t* fallback) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return path;
    return fallback;
}

}  // namespace

std::string ProgramDataFolder() {
    char path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return path;
    return "C:\\ProgramData";
}

std::filesystem::path HistoryFilePath(bool service) {
    const std::filesystem::path base = service ? KnownFolder(CSIDL_COMMON_APPDATA, L"C:\\ProgramData")
                                               : KnownFolder(CSIDL_LOCAL_APPDATA, L"C:\\");
    return base / L"Veltrano" / L"history.db";
}

}  // namespace velt::ui
