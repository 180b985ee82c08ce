#pragma once
// Opening a HID device interface path and reading its identity through hid.dll.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sys/win32/win_handle.h"

namespace velt::win {

enum class HidOpen {
    QueryOnly,   // no read or write access: enough for attributes and strings,
                 // and possible while another program holds the device
    Overlapped,  // read and write, FILE_FLAG_OVERLAPPED
};

Handle OpenHidPath(const std::string& path, HidOpen mode);

// False when the driver refuses the attributes request.
bool ReadHidIds(HANDLE h, uint16_t& vid, uint16_t& pid);
// The product string in the ANSI code page; empty when the device has none.
std::string ReadHidProductString(HANDLE h);
// OutputReportByteLength from the device's capabilities; 0 when unreadable.
size_t ReadHidOutputReportLength(HANDLE h);

}  // namespace velt::win
