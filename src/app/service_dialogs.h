#pragma once
// The dialogs of a monitor that nobody sits at: a service never asks. With
// no stored COM port the search ends with a log line that says what to do;
// the timed test is never confirmed.
#include <optional>
#include <string>

#include "core/com_port.h"
#include "core/event_sink.h"
#include "status/ups_tests.h"

namespace velt {

class ServiceComPortDialog final : public IComPortDialog {
public:
    // The monitor's log, once it exists; nothing is logged before.
    void SetLog(ILogSink* log) { log_ = log; }

    void ClearPorts() override {}
    void AddPort(const std::string&) override {}
    void SelectFirstPort() override {}
    bool ShowModal() override {
        if (log_) log_->AddLogLine("No COM port stored for the service: choose one in the window and save");
        return false;
    }
    std::optional<std::string> SelectedPort() const override { return std::nullopt; }
    bool DtrChecked() const override { return false; }
    bool RtsChecked() const override { return false; }

private:
    ILogSink* log_ = nullptr;
};

class ServiceTestTForm final : public ITestTForm {
public:
    bool ShowModalOk() override { return false; }
    int TestTUDPosition() const override { return 0; }
};

}  // namespace velt
