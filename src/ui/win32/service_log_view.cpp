#include "ui/win32/service_log_view.h"

#include <windows.h>

#include <algorithm>

#include "sys/win32/win_handle.h"
#include "ui/win32/service_log.h"

namespace velt::ui {

namespace {

constexpr uint64_t kBacklog = 64 * 1024;  // what a window opened late shows of the past
constexpr uint64_t kMaxRead = 256 * 1024;  // per tick: a burst is caught up over a few
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

ServiceLogView::ServiceLogView() : path_(ServiceLogPath()), tail_(kBacklog) {}

std::vector<std::string> ServiceLogView::NewLines() {
    const win::Handle file(::CreateFileA(path_.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) return {};
    const uint64_t from = tail_.ReadFrom(static_cast<uint64_t>(size.QuadPart));
    const uint64_t left = static_cast<uint64_t>(size.QuadPart) - from;
    if (left == 0) return {};
    std::string bytes(static_cast<size_t>(std::min(left, kMaxRead)), '\0');
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(from);
    DWORD read = 0;
    if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
        !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return tail_.Take(bytes);
}

}  // namespace velt::ui
