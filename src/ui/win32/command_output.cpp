#include "ui/win32/command_output.h"

#include <windows.h>

#include "sys/win32/win_handle.h"

namespace velt::ui {
namespace {

bool WriteLine(HANDLE h, const std::string& line) {
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
    const std::string text = line + "\r\n";
    const DWORD size = static_cast<DWORD>(text.size());
    DWORD written = 0;
    return ::WriteFile(h, text.data(), size, &written, nullptr) && written == size;
}

// A window program gets no console of its own; the one of a command prompt
// that started it is reached by attaching to it.
bool WriteToParentConsole(const std::string& line) {
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    bool written = false;
    {
        const win::Handle console(::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
        written = WriteLine(console.get(), line);
    }
    ::FreeConsole();
    return written;
}

}  // namespace

void TellCommandOutcome(const std::string& line, bool failure) {
    const HANDLE given = ::GetStdHandle(failure ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (WriteLine(given, line) || WriteToParentConsole(line) || !failure) return;
    ::MessageBoxA(nullptr, line.c_str(), "Veltrano", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace velt::ui
