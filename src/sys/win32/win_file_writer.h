#pragma once
// Writes a whole file with CreateFileA(CREATE_ALWAYS) and WriteFile.
#include <windows.h>

#include "sys/file_writer.h"

namespace velt::win {

// Writes every byte at the file's position, in chunks; false with the error
// text when the system refuses or makes no progress.
bool WriteBytes(HANDLE file, const std::string& bytes, std::string& errorText);

class WinFileWriter final : public IFileWriter {
public:
    bool WriteAll(const std::string& path, const std::string& bytes, std::string& errorText) override;
};

}  // namespace velt::win
