#include "sys/win32/hid_access.h"

#include <windows.h>
#include "sys/win32/hid_sdi.h"

namespace velt::win {

namespace {

// 126 UTF-16 characters is the USB string descriptor maximum.
constexpr ULONG kProductStringBytes = 127 * sizeof(wchar_t);

std::string WideToAnsi(const wchar_t* text) {
    const int len = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (len <= 1) return {};
    std::string out(static_cast<size_t>(len), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), len, nullptr, nullptr);
    out.resize(static_cast<size_t>(len - 1));
    return out;
}

}  // namespace

Handle OpenHidPath(const std::string& path, HidOpen mode) {
    const DWORD access = mode == HidOpen::QueryOnly ? 0 : (GENERIC_READ | GENERIC_WRITE);
    const DWORD flags = mode == HidOpen::Overlapped ? FILE_FLAG_OVERLAPPED : 0;
    return Handle(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, flags, nullptr));
}

bool ReadHidIds(HANDLE h, uint16_t& vid, uint16_t& pid) {
    HIDD_ATTRIBUTES attrs{};
    attrs.Size = sizeof attrs;
    if (!::HidD_GetAttributes(h, &attrs)) return false;
    vid = attrs.VendorID;
    pid = attrs.ProductID;
    return true;
}

std::string ReadHidProductString(HANDLE h) {
    wchar_t buf[kProductStringBytes / sizeof(wchar_t) + 1] = {};
    if (!::HidD_GetProductString(h, buf, kProductStringBytes)) return {};
    return WideToAnsi(buf);
}

size_t ReadHidOutputReportLength(HANDLE h) {
    PHIDP_PREPARSED_DATA data = nullptr;
    if (!::HidD_GetPreparsedData(h, &data)) return 0;
    HIDP_CAPS caps{};
    const bool ok = ::HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS;
    ::HidD_FreePreparsedData(data);
    return ok ? caps.OutputReportByteLength : 0;
}

}  // namespace velt::win
