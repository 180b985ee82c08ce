#include "ui/close_gate.h"

namespace velt::ui {

bool CloseGate::BeginHandler() {
    if (closing_) return false;
    ++depth_;
    return true;
}

bool CloseGate::EndHandler() {
    if (depth_ > 0) --depth_;
    if (depth_ > 0 || !pending_) return false;
    pending_ = false;
    return true;
}

CloseGate::Close CloseGate::OnClose(bool allowed) {
    if (closing_ || !allowed) return Close::Refused;
    if (depth_ > 0) {
        pending_ = true;
        return Close::Deferred;
    }
    closing_ = true;
    return Close::Now;
}

}  // namespace velt::ui
