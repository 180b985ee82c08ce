#pragma once
// The History page's jobs over the history file: a span's chart and outages,
// and a span's minutes written as CSV. Made on the main thread; run on the
// page's worker, where the one reader is opened at first use.
#include <filesystem>

#include "sys/file_writer.h"
#include "ui/history_queries.h"

namespace velt::ui {

// An empty `file` is no history: every span shows empty. `files` is used
// from the worker; it keeps no state between writes.
HistoryJobs ReaderJobs(std::filesystem::path file, IFileWriter& files);

}  // namespace velt::ui
