#pragma once
// The HID device interfaces present now, with their identities.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velt::win {

struct HidDeviceInfo {
    std::string path;  // device interface path, for CreateFileA
    uint16_t vid = 0, pid = 0;
    std::string product;
    size_t outputReportLength = 0;  // report id byte included; 0 when unknown
};

// Interfaces whose attributes cannot be read are left out; no devices (or no
// HID class at all) give an empty list.
std::vector<HidDeviceInfo> EnumerateHidDevices();

}  // namespace velt::win
