#pragma once
// Grows a file at its end and moves it aside: what a log kept on disk needs.
// Failures give the system's error text.
#include <cstdint>
#include <string>

namespace velt {

class IFileAppender {
public:
    virtual ~IFileAppender() = default;
    // Bytes in the file; 0 when it does not exist or cannot be looked at.
    virtual uint64_t SizeOf(const std::string& path) = 0;
    // True when the folder exists afterwards; its parent must exist.
    virtual bool MakeFolder(const std::string& path, std::string& errorText) = 0;
    // Adds the bytes at the end, creating the file when missing.
    virtual bool Append(const std::string& path, const std::string& bytes, std::string& errorText) = 0;
    // Renames `from` to `to`, replacing a file already called `to`.
    virtual bool Replace(const std::string& from, const std::string& to, std::string& errorText) = 0;
};

}  // namespace velt
