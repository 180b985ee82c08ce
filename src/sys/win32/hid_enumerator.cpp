#include "sys/win32/hid_enumerator.h"

#include <windows.h>
#include "sys/win32/hid_sdi.h"
#include <setupapi.h>

#include <optional>

#include "sys/win32/hid_access.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

namespace {

std::optional<std::string> InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& iface) {
    DWORD needed = 0;
    ::SetupDiGetDeviceInterfaceDetailA(set, &iface, nullptr, 0, &needed, nullptr);
    if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return std::nullopt;
    // DWORD-aligned storage for the variable-length detail record.
    std::vector<DWORD> storage((needed + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!::SetupDiGetDeviceInterfaceDetailA(set, &iface, detail, needed, nullptr, nullptr))
        return std::nullopt;
    return std::string(detail->DevicePath);
}

HidDeviceInfo Describe(const std::string& path) {
    HidDeviceInfo info;
    info.path = path;
    const Handle h = OpenHidPath(path, HidOpen::QueryOnly);
    if (!h || !ReadHidIds(h.get(), info.vid, info.pid)) return info;
    info.described = true;
    info.product = ReadHidProductString(h.get());
    info.outputReportLength = ReadHidOutputReportLength(h.get());
    return info;
}

}  // namespace

std::vector<HidDeviceInfo> EnumerateHidDevices() {
    std::vector<HidDeviceInfo> out;
    GUID hidGuid{};
    ::HidD_GetHidGuid(&hidGuid);
    const DevInfoList set(::SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set) return out;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        if (!::SetupDiEnumDeviceInterfaces(set.get(), nullptr, &hidGuid, index, &iface)) break;
        const auto path = InterfacePath(set.get(), iface);
        if (!path) continue;
        out.push_back(Describe(*path));
    }
    return out;
}

}  // namespace velt::win
