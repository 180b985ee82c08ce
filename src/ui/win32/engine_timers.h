#pragma once
// The monitor's four window timers, one handler each, for whichever window
// hosts it (the main window, or the service's message-only one).
#include <windows.h>

#include "app/monitor_engine.h"
#include "ui/win32/system_seams.h"

namespace velt::ui {

// Runs the handler of timer `id` while that timer is on; false for an id
// that is none of the four.
bool RunEngineTimer(SystemSeams& seams, MonitorEngine& engine, UINT_PTR id);

}  // namespace velt::ui
