#pragma once
// hid.dll's declarations. mingw-w64's hidsdi.h lacks C linkage for C++; an extra
// extern "C" around a header that has its own is harmless.
#include <windows.h>

extern "C" {
#include <hidsdi.h>
}
