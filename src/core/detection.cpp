#include "core/detection.h"

#include <algorithm>

#include "core/command_exchange.h"
#include "core/commands.h"

namespace velt {

namespace {

constexpr size_t kMinStatusReply = 46;  // "longer than 45"

}  // namespace

bool IsStatusProbeReply(const std::string& reply, std::string_view query) {
    return reply.size() >= kMinStatusReply && !cmd::IsEcho(reply, query) && reply[0] == '(';
}

std::string Detector::Exchange(std::string_view command) {
    return ExchangeCommand(deps_.link, command, deps_.sleeper, deps_.log);
}

bool Detector::ProbeQ1() { return IsStatusProbeReply(Exchange(cmd::kStatusMegatec), cmd::kStatusMegatec); }
bool Detector::ProbeQS() { return IsStatusProbeReply(Exchange(cmd::kStatusMustek), cmd::kStatusMustek); }

bool Detector::ProbeI() {
    const auto info = ParseInfoReply(Exchange(cmd::kInfo));
    if (!info) return false;
    info_ = *info;
    deps_.view.ShowIdentification(info_);
    return true;
}

bool Detector::ProbeF() {
    const auto rated = ParseRatingReply(Exchange(cmd::kRating), deps_.decimalSeparator);
    if (!rated) return false;
    rated_ = *rated;
    return true;
}

bool Detector::WithRetries(const std::function<bool()>& probe) {
    bool ok = false;
    if (deps_.link.UsbActive) ok = probe();
    if (!ok && deps_.link.ComActive) {
        const int tries = std::max(0, deps_.link.ComMaxAttempts) + 1;
        for (int i = 0; i < tries && !ok; ++i) ok = probe();
    }
    return ok;
}

void Detector::ReportDetected(const char* protocol) {
    std::string where;
    if (deps_.link.UsbActive) {
        const auto [vid, pid] = deps_.usbIdText();
        where = "USB: VID: 0x" + vid + " PID: 0x" + pid;
    } else {
        where = "COM" + std::to_string(deps_.link.ComPort);
    }
    const std::string head = std::string(protocol) + " protocol UPS detected:";
    if (deps_.live.BalloonHints) deps_.feedback.ShowBalloon("UPS", head + "\r" + where, BalloonKind::Information);
    deps_.feedback.SetStatusText(head + " " + where);
}

// A reconnect holds the data lock on the main thread: one try per probe keeps
// that short while the UPS stays silent.
bool Detector::Probed(const std::function<bool()>& probe) {
    return start_ == DetectionStart::Reconnect ? probe() : WithRetries(probe);
}

bool Detector::DetectProtocol(DetectionStart start) {
    start_ = start;
    TUPSLink& link = deps_.link;
    link.Q1Supported = deps_.live.Q1 && Probed([this] { return ProbeQ1(); });
    deps_.view.SetProbeLabel(Probe::Q1, link.Q1Supported);
    link.QSSupported = deps_.live.QS && Probed([this] { return ProbeQS(); });
    deps_.view.SetProbeLabel(Probe::QS, link.QSSupported);

    const bool detected = link.Q1Supported || link.QSSupported;
    if (detected) {
        // With both, the Mustek texts come last and stay in the status bar.
        if (link.Q1Supported) ReportDetected("Megatec");
        if (link.QSSupported) ReportDetected("Mustek");
        deps_.view.ShowConnection(link.UsbActive ? ConnectionKind::Usb : ConnectionKind::Serial, link.ComPort);
        link.ISupported = deps_.live.I && ProbeI();
        deps_.view.SetProbeLabel(Probe::I, link.ISupported);
    } else if (start != DetectionStart::Reconnect) {
        link.ISupported = false;
        const char* text = "Supported protocol UPS not detected!";
        deps_.feedback.SetStatusText(text);
        if (deps_.live.BalloonHints) deps_.feedback.ShowBalloon("Warning!", text, BalloonKind::Warning);
    }
    if ((link.UsbActive || link.ComActive) && (detected || start != DetectionStart::Reconnect)) {
        rated_ = RatedValues{};
        link.FSupported = deps_.live.F && Probed([this] { return ProbeF(); });
        deps_.view.SetProbeLabel(Probe::F, link.FSupported);
        deps_.battery.ApplyNominalVoltage(
            link.FSupported ? std::optional<double>(rated_.BatteryVoltage) : std::nullopt,
            start == DetectionStart::User ? NominalQuestion::Ask : NominalQuestion::OnlyWhenUnknown);
        if (deps_.loadBatterySettings) deps_.loadBatterySettings();
    }
    return detected;
}

}  // namespace velt
