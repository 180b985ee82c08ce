#include "sys/win32/system_error_text.h"

#include <windows.h>

#include "sys/error_text.h"

namespace velt::win {

std::string SystemErrorText(unsigned long code) {
    char buf[512] = {};
    const DWORD len = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                       nullptr, code, 0, buf, sizeof buf, nullptr);
    if (len == 0) return "System error " + std::to_string(code);
    return TrimSystemErrorText(std::string(buf, len));
}

std::string LastErrorText() { return SystemErrorText(::GetLastError()); }

std::string LastErrorText(const std::string& operation) {
    const DWORD code = ::GetLastError();
    return OperationErrorText(operation, code, SystemErrorText(code));
}

}  // namespace velt::win
