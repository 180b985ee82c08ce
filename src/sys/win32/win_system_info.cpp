#include "sys/win32/win_system_info.h"

#include <algorithm>
#include <vector>

#include "sys/version_resource.h"

namespace velt::win {
namespace {

static_assert(sizeof(OSVERSIONINFOEXA) == OsVersionRecord{}.size, "the extended version record is 156 bytes");

constexpr DWORD kComputerNameChars = 256;
constexpr DWORD kLongestPath = 32768;

// Text of a fixed field that may lack its terminating zero.
std::string FieldText(const char* field, size_t capacity) {
    return std::string(field, std::find(field, field + capacity, '\0'));
}

}  // namespace

OsVersionRecord WinSystemInfo::OsVersion() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    info.dwMajorVersion = OsVersionRecord{}.major;
    if (entryPoints_.getVersionExA.Found())
        entryPoints_.getVersionExA.get()(reinterpret_cast<OSVERSIONINFOA*>(&info));
    OsVersionRecord os;
    os.size = info.dwOSVersionInfoSize;
    os.major = info.dwMajorVersion;
    os.minor = info.dwMinorVersion;
    os.build = info.dwBuildNumber;
    os.platformId = info.dwPlatformId;
    os.servicePack = FieldText(info.szCSDVersion, sizeof info.szCSDVersion);
    os.servicePackMajor = info.wServicePackMajor;
    os.servicePackMinor = info.wServicePackMinor;
    os.suiteMask = info.wSuiteMask;
    os.productType = info.wProductType;
    return os;
}

std::optional<uint16_t> WinSystemInfo::NativeProcessorArchitecture() {
    if (!entryPoints_.getNativeSystemInfo.Found()) return std::nullopt;
    SYSTEM_INFO si{};
    entryPoints_.getNativeSystemInfo.get()(&si);
    return si.wProcessorArchitecture;
}

std::string WinSystemInfo::ComputerName() {
    char name[kComputerNameChars] = {};
    DWORD size = kComputerNameChars;
    if (!::GetComputerNameA(name, &size)) return {};
    return FieldText(name, std::min<DWORD>(size, kComputerNameChars));
}

std::string WinSystemInfo::ProgramPath() {
    // A path that does not fit comes back cut short and without an error on
    // older systems, so only a result shorter than the buffer is whole.
    for (DWORD capacity = MAX_PATH; capacity <= kLongestPath; capacity *= 2) {
        std::vector<char> buf(capacity);
        const DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), capacity);
        if (n == 0) return {};
        if (n < capacity) return std::string(buf.data(), n);
    }
    return {};
}

std::string WinSystemInfo::ProgramFileVersion() {
    const std::string path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return {};

    void* p = nullptr;
    UINT len = 0;
    if (!::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &p, &len) || len < 2 * sizeof(WORD)) return {};
    const WORD* translation = static_cast<const WORD*>(p);
    const std::string subBlock = VersionStringSubBlock(translation[0], translation[1], "FileVersion");
    if (!::VerQueryValueA(data.data(), subBlock.c_str(), &p, &len) || len == 0) return {};
    return FieldText(static_cast<const char*>(p), len);
}

bool WinSystemInfo::SetProcessHighPriority() {
    return ::SetPriorityClass(::GetCurrentProcess(), HIGH_PRIORITY_CLASS) != 0;
}

bool WinSystemInfo::SetCurrentThreadPriority(ThreadPriority priority) {
    const int level = priority == ThreadPriority::Idle ? THREAD_PRIORITY_IDLE : THREAD_PRIORITY_NORMAL;
    return ::SetThreadPriority(::GetCurrentThread(), level) != 0;
}

}  // namespace velt::win
