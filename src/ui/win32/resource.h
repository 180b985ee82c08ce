// Resource ids, shared by veltrano.rc and the C++ code: plain macros only, as
// the resource compiler reads this file too.
#pragma once

#define IDI_APP 100
#define IDI_TRAY_NORMAL 101
#define IDI_TRAY_AVR 102
#define IDI_TRAY_FAIL 103
#define IDI_START 110
#define IDI_STOP 111
#define IDI_CLEAR_LOG 112
#define IDI_SAVE_LOG 113
