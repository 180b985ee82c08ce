#pragma once
// The HID device interfaces present now, with their identities.
#include <cstdint>
#include <string>
#include <vector>

namespace velt::win {

struct HidDeviceInfo {
    std::string path;  // device interface path, for CreateFileA
    uint16_t vid = 0, pid = 0;
    std::string product;
};

// Interfaces whose attributes cannot be read are left out; no devices (or no
// HID class at all) give an empty list.
std::vector<HidDeviceInfo> EnumerateHidDevices();

}  // namespace velt::win
