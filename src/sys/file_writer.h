#pragma once
// Writes a whole file, replacing an existing one. On failure gives the system's
// error text.
#include <string>

namespace velt {

class IFileWriter {
public:
    virtual ~IFileWriter() = default;
    virtual bool WriteAll(const std::string& path, const std::string& bytes, std::string& errorText) = 0;
};

}  // namespace velt
