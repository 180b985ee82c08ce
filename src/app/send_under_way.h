#pragma once
// The send a channel runs now, so that Abandon from another thread (at exit)
// reaches it; after Abandon no send begins.
#include <mutex>

namespace velt {

template <typename Send>
class SendUnderWay {
public:
    // False once abandoned: the send is not to run.
    bool Begin(Send& send) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (abandoned_) return false;
        current_ = &send;
        return true;
    }
    void End() {
        std::lock_guard<std::mutex> lock(mutex_);
        current_ = nullptr;
    }
    void Abandon() {
        std::lock_guard<std::mutex> lock(mutex_);
        abandoned_ = true;
        if (current_) current_->Abandon();
    }

private:
    std::mutex mutex_;
    Send* current_ = nullptr;  // guarded by mutex_, like the flag below
    bool abandoned_ = false;
};

}  // namespace velt
