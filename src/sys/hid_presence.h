#pragma once
// Which HID devices came and went: the device list against the interfaces
// the system lists now.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velt {

// One HID device interface the system lists, with its identity when it could
// be read. It cannot while another program opens it exclusively or while the
// device is still starting; the interface is present all the same.
struct HidDeviceInfo {
    std::string path;  // device interface path, for opening it
    bool described = false;
    uint16_t vid = 0, pid = 0;
    std::string product;
    size_t outputReportLength = 0;  // report id byte included; 0 when unknown
};

struct HidPresenceChange {
    std::vector<size_t> gone;   // indexes into the known paths
    std::vector<size_t> added;  // indexes into the present interfaces
};

HidPresenceChange CompareHidPresence(const std::vector<std::string>& knownPaths,
                                     const std::vector<HidDeviceInfo>& present);

}  // namespace velt
