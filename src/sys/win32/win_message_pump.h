#pragma once
// IMessagePump over the calling thread's message queue. Main thread only.
#include "sys/message_pump.h"

namespace velt::win {

class WinMessagePump final : public IMessagePump {
public:
    // Dispatches what is queued now, then returns. A WM_QUIT met on the way is
    // put back, so the main loop still ends.
    void ProcessMessages() override;
    // Runs only the messages other threads send (PM_QS_SENDMESSAGE).
    void ProcessSentMessages() override;
};

}  // namespace velt::win
