#pragma once
// Writes a whole file with CreateFileA(CREATE_ALWAYS) and WriteFile.
#include "sys/file_writer.h"

namespace velt::win {

class WinFileWriter final : public IFileWriter {
public:
    bool WriteAll(const std::string& path, const std::string& bytes, std::string& errorText) override;
};

}  // namespace velt::win
