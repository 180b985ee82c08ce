#pragma once
// The service's log: every line the monitor logs, in
// %ProgramData%\Veltrano\Veltrano.log (one old file kept past 1 MB). A file
// that cannot be written is told once to the Application event log.
#include <string>

#include "reports/log_file.h"
#include "sys/system_event_log.h"
#include "sys/win32/win_file_appender.h"

namespace velt::ui {

// Where the service writes its log, for a window to read.
std::string ServiceLogPath();

class ServiceLog {
public:
    // `events` outlives the log.
    explicit ServiceLog(ISystemEventLog& events);
    void Append(const std::string& line) { file_.Append(line); }

private:
    win::WinFileAppender files_;
    LogFile file_;
};

}  // namespace velt::ui
