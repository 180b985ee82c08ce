#include "sys/win32/win_file_appender.h"

#include <windows.h>

#include "sys/win32/system_error_text.h"
#include "sys/win32/win_file_writer.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

uint64_t WinFileAppender::SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WinFileAppender::MakeFolder(const std::string& path, std::string& errorText) {
    if (::CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD code = ::GetLastError();
    // A file of that name is no folder to put the log in.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (code == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return true;
    errorText = SystemErrorText(code);
    return false;
}

bool WinFileAppender::Append(const std::string& path, const std::string& bytes, std::string& errorText) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const Handle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        errorText = LastErrorText();
        return false;
    }
    return WriteBytes(file.get(), bytes, errorText);
}

bool WinFileAppender::Replace(const std::string& from, const std::string& to, std::string& errorText) {
    if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    errorText = LastErrorText();
    return false;
}

}  // namespace velt::win
