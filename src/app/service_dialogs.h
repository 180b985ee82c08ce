#pragma once
// The dialogs of a monitor that nobody sits at: a service never asks. The
// port search tries the stored port first, then every other free one, one
// per try, round and round: a UPS switched on later, or moved to another
// port, is found by the service's retries. The timed test is never confirmed.
#include <optional>
#include <string>
#include <vector>

#include "core/com_port.h"
#include "core/event_sink.h"
#include "core/serial_line.h"
#include "status/ups_tests.h"

namespace velt {

class ServiceComPortDialog final : public IComPortDialog {
public:
    // The monitor's log, once it exists; nothing is logged before.
    void SetLog(ILogSink* log) { log_ = log; }
    // The port and lines the settings hold, tried first; the lines are the
    // cable's, so every port is tried with them.
    void SetStored(const SerialLine& stored);

    void ClearPorts() override { free_.clear(); }
    void AddPort(const std::string& name) override { free_.push_back(name); }
    void SelectFirstPort() override {}
    bool ShowModal() override;
    std::optional<std::string> SelectedPort() const override { return chosen_; }
    bool DtrChecked() const override { return dtr_; }
    bool RtsChecked() const override { return rts_; }

private:
    std::vector<std::string> Candidates() const;
    void Log(const std::string& line) {
        if (log_) log_->AddLogLine(line);
    }

    ILogSink* log_ = nullptr;
    std::string stored_;
    bool dtr_ = false, rts_ = false;
    std::vector<std::string> free_;
    std::optional<std::string> chosen_;
    size_t tries_ = 0;
    bool toldNone_ = false;
};

class ServiceTestTForm final : public ITestTForm {
public:
    bool ShowModalOk() override { return false; }
    int TestTUDPosition() const override { return 0; }
};

}  // namespace velt
