#pragma once
// What the program asks of the operating system about itself and its host:
// the version record, the processor architecture, the computer's name, its
// own file and version, and the priorities it runs at.
#include <cstdint>
#include <optional>
#include <string>

namespace velt {

inline constexpr uint32_t kPlatformNt = 2;
inline constexpr uint8_t kProductWorkstation = 1;
inline constexpr uint16_t kProcessorArchitectureAmd64 = 9;

// The extended version record. The preset values are what the program works
// with when the version query is missing: platform 0 is no NT system.
struct OsVersionRecord {
    uint32_t size = 156;
    uint32_t major = 5, minor = 0, build = 0, platformId = 0;
    std::string servicePack;  // up to its terminating zero
    uint16_t servicePackMajor = 0, servicePackMinor = 0, suiteMask = 0;
    uint8_t productType = 0;
};

enum class ThreadPriority { Idle, Normal };

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;

    virtual OsVersionRecord OsVersion() = 0;
    // None when the native system-information query is missing.
    virtual std::optional<uint16_t> NativeProcessorArchitecture() = 0;
    virtual std::string ComputerName() = 0;  // empty when the query fails
    virtual std::string ProgramPath() = 0;   // full path of the running program file
    // "FileVersion" of the program's own version resource; empty when missing.
    virtual std::string ProgramFileVersion() = 0;

    virtual bool SetProcessHighPriority() = 0;
    virtual bool SetCurrentThreadPriority(ThreadPriority priority) = 0;
};

}  // namespace velt
