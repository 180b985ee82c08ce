#pragma once
// The service's log on disk: the event log's lines, appended as they come,
// in a file that is moved aside once it would pass 1 MB, one old file kept.
// A failing disk never stops the caller: the line is dropped and the failure
// told once, until the file works again.
#include <cstdint>
#include <functional>
#include <string>

#include "sys/file_appender.h"

namespace velt {

inline constexpr uint64_t kLogFileLimit = 1u << 20;
inline constexpr char kLogFileName[] = "Veltrano.log";
inline constexpr char kOldLogFileName[] = "Veltrano.old.log";

// "<ProgramData>\Veltrano", the folder the log files live in.
std::string LogFolder(const std::string& programData);

class LogFile {
public:
    using Report = std::function<void(const std::string& failure)>;

    LogFile(IFileAppender& files, std::string folder, Report report);

    // One line as EventLog::Add gives it; CR LF is added.
    void Append(const std::string& line);

    const std::string& Path() const { return path_; }
    const std::string& OldPath() const { return oldPath_; }

private:
    // One failure told once, and told again only after a success.
    class Latch {
    public:
        void Failed(const Report& report, const std::string& failure);
        void Succeeded() { failing_ = false; }

    private:
        bool failing_ = false;
    };

    bool MakeFolder();
    void RotateBefore(uint64_t bytes);

    IFileAppender& files_;
    std::string folder_, path_, oldPath_;
    Report report_;
    bool folderMade_ = false;
    Latch writes_, rotations_;
};

}  // namespace velt
