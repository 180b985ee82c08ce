#pragma once
// When the main window may really close. Form handlers can show modal dialogs
// or pump messages, so a close may arrive while one is running; it then waits
// until the outermost handler has returned. Once closing has begun, no handler
// runs any more. Plain C++, main thread only.

namespace velt::ui {

class CloseGate {
public:
    enum class Close { Refused, Deferred, Now };

    // False once closing has begun: the handler must not run.
    bool BeginHandler();
    // True when a close deferred meanwhile is due now (the outermost handler ended).
    bool EndHandler();

    // `allowed`: the close query's answer. A close while a handler runs waits;
    // the caller ends the running dialogs so that it comes soon.
    Close OnClose(bool allowed);

    bool Busy() const { return depth_ > 0; }
    bool Closing() const { return closing_; }

private:
    int depth_ = 0;
    bool pending_ = false;
    bool closing_ = false;
};

}  // namespace velt::ui
