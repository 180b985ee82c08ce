#include "sys/win32/win_file_writer.h"

#include <algorithm>

#include "sys/win32/system_error_text.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

namespace {
constexpr size_t kChunk = 1u << 20;
}

bool WriteBytes(HANDLE file, const std::string& bytes, std::string& errorText) {
    for (size_t done = 0; done < bytes.size();) {
        const DWORD want = static_cast<DWORD>(std::min(kChunk, bytes.size() - done));
        DWORD wrote = 0;
        if (!::WriteFile(file, bytes.data() + done, want, &wrote, nullptr)) {
            errorText = LastErrorText();
            return false;
        }
        if (wrote == 0) {  // no progress without an error code of its own
            errorText = SystemErrorText(ERROR_WRITE_FAULT);
            return false;
        }
        done += wrote;
    }
    return true;
}

bool WinFileWriter::WriteAll(const std::string& path, const std::string& bytes, std::string& errorText) {
    const Handle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        errorText = LastErrorText();
        return false;
    }
    return WriteBytes(file.get(), bytes, errorText);
}

}  // namespace velt::win
