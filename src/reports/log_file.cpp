#include "reports/log_file.h"

#include <utility>

#include "reports/event_log.h"

namespace velt {

std::string LogFolder(const std::string& programData) { return programData + "\\Veltrano"; }

void LogFile::Latch::Failed(const Report& report, const std::string& failure) {
    if (failing_) return;
    failing_ = true;
    report(failure);
}

LogFile::LogFile(IFileAppender& files, std::string folder, Report report)
    : files_(files),
      folder_(std::move(folder)),
      path_(folder_ + "\\" + kLogFileName),
      oldPath_(folder_ + "\\" + kOldLogFileName),
      report_(std::move(report)) {}

void LogFile::Append(const std::string& line) {
    if (!MakeFolder()) return;
    const std::string bytes = LogFileText({line});
    RotateBefore(bytes.size());
    std::string error;
    if (files_.Append(path_, bytes, error)) {
        writes_.Succeeded();
        return;
    }
    // The folder may have gone with the file: made again with the next line.
    folderMade_ = false;
    writes_.Failed(report_, "Cannot write to file \"" + path_ + "\". " + error);
}

bool LogFile::MakeFolder() {
    if (folderMade_) return true;
    std::string error;
    folderMade_ = files_.MakeFolder(folder_, error);
    if (!folderMade_) writes_.Failed(report_, "Cannot create folder \"" + folder_ + "\". " + error);
    return folderMade_;
}

// The line goes to the current file even when it cannot be moved aside: a
// kept line is worth more than the size limit, and the next line tries again.
void LogFile::RotateBefore(uint64_t bytes) {
    const uint64_t size = files_.SizeOf(path_);
    if (size == 0 || size + bytes <= kLogFileLimit) return;
    std::string error;
    if (files_.Replace(path_, oldPath_, error)) {
        rotations_.Succeeded();
        return;
    }
    rotations_.Failed(report_, "Cannot rename file \"" + path_ + "\" to \"" + oldPath_ + "\". " + error);
}

}  // namespace velt
