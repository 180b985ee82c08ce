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
#define IDI_BEEPER 114
#define IDI_TEST10S 115
#define IDI_TEST_T 116
#define IDI_TEST_LOW 117
#define IDI_CANCEL_TEST 118
#define IDI_SLEEP 119
#define IDI_HIBERNATE 120
#define IDI_SHUTDOWN 121
#define IDI_SAVE_SETTINGS 122
#define IDI_EXIT 123
#define IDI_CONN_USB 130
#define IDI_CONN_SERIAL 131
#define IDI_CONN_NETWORK 133
#define IDI_DONATE 132
#define IDI_MENU_RESTORE 140
#define IDI_MENU_MINIMIZE 141
