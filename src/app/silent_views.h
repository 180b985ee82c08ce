#pragma once
// Views that show nothing, for the monitor run with no window: every
// question gets the answer a user who is not there would give. The log's
// lines may go to a sink of their own (the service's log file), and so may
// each new status bar text, which is all a service has to say why it waits.
#include <functional>
#include <string>
#include <utility>

#include "app/monitor_engine.h"

namespace velt {

class SilentViews final {
public:
    using LineSink = std::function<void(const std::string&)>;

    explicit SilentViews(LineSink logLines = {}, LineSink statusTexts = {})
        : main_(std::move(logLines)), statusText_{std::move(statusTexts), {}} {}

    MonitorViews Views() { return {main_, feedback_, detection_, hidList_, status_, battery_, upsTests_}; }

private:
    // A text is passed on when it differs from the last one: a poll that
    // repeats it every second says nothing new.
    struct StatusText {
        LineSink sink;
        std::string last;
        void Set(const std::string& text) {
            if (!sink || text.empty() || text == last) return;
            last = text;
            sink(text);
        }
    };
    struct Main final : IMainView {
        explicit Main(LineSink lines) : logLines(std::move(lines)) {}
        LineSink logLines;

        void SetReportString(const std::string&) override {}
        void SetTimeText(const std::string&) override {}
        void SetSpinner(const std::string&) override {}
        void AppendLogLine(const std::string& line) override {
            if (logLines) logLines(line);
        }
        void ClearLog() override {}
        void SetStartEnabled(bool) override {}
        void SetStopEnabled(bool) override {}
        void ShowSettings(const TUPSSettings&) override {}
        void ApplyPowerAvailability(const PowerActionAvailability&) override {}
        void SetForceOptionsEnabled(bool) override {}
        void ShowExternalProgram(const ExternalProgramLabel&) override {}
        void ShowAbout(const std::string&, const std::string&) override {}
        void ShowAboutBox() override {}
        std::optional<std::string> AskSaveLogPath(const std::string&) override { return std::nullopt; }
        std::optional<std::string> AskExternalProgram() override { return std::nullopt; }
        void ShowError(const std::string&) override {}
        void SetHttpPortEditable(bool) override {}
        void SetNutPortEditable(bool) override {}
        void SetHttpCredentialsEditable(bool) override {}
        void CloseWindow() override {}
        void MinimizeToTray() override {}
    };
    struct Feedback final : IFeedback {
        explicit Feedback(StatusText& s) : status(s) {}
        StatusText& status;
        void SetStatusText(const std::string& text) override { status.Set(text); }
        void ShowBalloon(const std::string&, const std::string&, BalloonKind) override {}
    };
    struct Detection final : IDetectionView {
        void SetProbeLabel(Probe, bool) override {}
        void ShowIdentification(const TUPSInformation&) override {}
        void ShowConnection(ConnectionKind, int) override {}
        void ShowNetworkConnection(const std::string&) override {}
    };
    struct HidList final : IHidListView {
        void ClearHidList() override {}
        void AddHidEntry(const std::string&) override {}
        void ShowIdentity(const std::string&, const std::string&, const std::string&) override {}
    };
    struct Status final : IStatusView {
        void SetFieldText(int, const std::string&) override {}
        void SetStatusBox(int, bool) override {}
        void SetStandbyCaption(const std::string&) override {}
        void SetModeWord(const std::string&) override {}
        void SetAvrMode(const std::string&, bool) override {}
        void SetInputVoltageMinMax(const std::string&, const std::string&) override {}
        void SetTrayImage(TrayImage) override {}
        void ShowPower(const ShownPower&, bool) override {}
    };
    // A pack whose voltage cannot be learnt is taken as the common 12 V one.
    struct Battery final : IBatteryView {
        void SetChargeCaption(const std::string&) override {}
        void SetGaugePosition(int) override {}
        void SetNominalVoltageText(const std::string&) override {}
        void SetThresholdText(BatteryUpDown, const std::string&) override {}
        void SetThresholdUpDown(BatteryUpDown, const UpDownModel&) override {}
        int AskNominalBatteryVoltage() override { return 12; }
    };
    struct UpsTests final : IUPSTestView {
        explicit UpsTests(StatusText& s) : status(s) {}
        StatusText& status;
        void DisableUPSTestButton(UPSTestButton) override {}
        void SetUPSTestButtonEnabled(UPSTestButton, bool) override {}
        void SetStatusText(const std::string& text) override { status.Set(text); }
    };

    Main main_;
    StatusText statusText_;
    Feedback feedback_{statusText_};
    Detection detection_;
    HidList hidList_;
    Status status_;
    Battery battery_;
    UpsTests upsTests_{statusText_};
};

}  // namespace velt
