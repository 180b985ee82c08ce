#pragma once
// System information through the version, system and module queries. The
// version and architecture queries go through the optional entry points.
#include "sys/system_info.h"
#include "sys/win32/system_entry_points.h"

namespace velt::win {

class WinSystemInfo final : public ISystemInfo {
public:
    explicit WinSystemInfo(const SystemEntryPoints& entryPoints) : entryPoints_(entryPoints) {}

    OsVersionRecord OsVersion() override;
    std::optional<uint16_t> NativeProcessorArchitecture() override;
    std::string ComputerName() override;
    std::string ProgramPath() override;
    std::string ProgramFileVersion() override;

    bool SetProcessHighPriority() override;
    bool SetCurrentThreadPriority(ThreadPriority priority) override;

private:
    const SystemEntryPoints& entryPoints_;
};

}  // namespace velt::win
