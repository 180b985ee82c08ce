#pragma once
// The HID device controller: the list of present HID devices, check-out and
// check-in, and (on Windows) arrival/removal/change notifications driven by
// WM_DEVICECHANGE. Main thread only.
#include <cstddef>
#include <functional>

#include "sys/hid_device.h"

namespace velt {

class IHidController {
public:
    virtual ~IHidController() = default;
    // Calls `handler` in list order for every plugged-in device until it gives false.
    virtual void Enumerate(const std::function<bool(IHidDevice&, size_t index)>& handler) = 0;
    // Reserves the device at `index`; fails when already checked out or out of range.
    virtual bool CheckOut(size_t index) = 0;
    // Gives a checked-out device back, closing its handles. A checked-out device
    // object stays valid until it is checked in, even after its removal.
    virtual void CheckIn(IHidDevice& device) = 0;
    // The program reads input reports itself.
    virtual void StopBackgroundReading(IHidDevice& device) = 0;
};

}  // namespace velt
