#pragma once
// The log file's operations on the Windows file system. Each append opens and
// closes the file, sharing it, so a reader may hold it open and the file can be
// moved aside between two lines.
#include "sys/file_appender.h"

namespace velt::win {

class WinFileAppender final : public IFileAppender {
public:
    uint64_t SizeOf(const std::string& path) override;
    bool MakeFolder(const std::string& path, std::string& errorText) override;
    bool Append(const std::string& path, const std::string& bytes, std::string& errorText) override;
    bool Replace(const std::string& from, const std::string& to, std::string& errorText) override;
};

}  // namespace velt::win
