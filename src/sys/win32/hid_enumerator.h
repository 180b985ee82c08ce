#pragma once
// The HID device interfaces present now, with their identities.
#include <vector>

#include "sys/hid_presence.h"

namespace velt::win {

// Every interface present; one whose identity cannot be read is listed with
// `described` false. No devices (or no HID class at all) give an empty list.
std::vector<HidDeviceInfo> EnumerateHidDevices();

}  // namespace velt::win
