#include "sys/win32/win_message_pump.h"

#include <windows.h>

namespace velt::win {

namespace {

// A burst of messages can keep arriving (a mouse drag); the pause that called
// us must end anyway.
constexpr int kMaxMessagesPerCall = 1000;

}  // namespace

void WinMessagePump::ProcessMessages() {
    MSG msg;
    for (int n = 0; n < kMaxMessagesPerCall && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Peeking with PM_QS_SENDMESSAGE delivers pending sent messages and removes nothing.
void WinMessagePump::ProcessSentMessages() {
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace velt::win
