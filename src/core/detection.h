#pragma once
// Protocol detection on an open link: the four probes ("Q1", "QS", "I", "F"),
// their retries over serial, and what the result shows. Main thread, data lock
// held by the caller.
#include <functional>
#include <optional>
#include <string>

#include "core/feedback.h"
#include "core/ups_settings.h"
#include "core/battery_rating.h"
#include "core/event_sink.h"
#include "core/ups_link.h"
#include "core/reply_parsers.h"
#include "sys/clock.h"

namespace velt {

enum class Probe { Q1, QS, F, I };

// Who started a detection. An arrival or a reconnect was not the user's doing:
// neither asks for the nominal battery voltage once one is known, and a
// reconnect tries each probe once and stays quiet when nothing answers.
enum class DetectionStart { User, Arrival, Reconnect };
enum class ConnectionKind { Usb, Serial };

// The "UPS Information" page as detection changes it; the window implements it.
class IDetectionView {
public:
    virtual ~IDetectionView() = default;
    virtual void SetProbeLabel(Probe probe, bool enabled) = 0;  // Q1_L, QS_L, F_L, I_L
    // Enables MfrNL/ModelNL/VerNL and the edits, and shows the texts.
    virtual void ShowIdentification(const TUPSInformation& info) = 0;
    // ConnI image 0 and USBL, or image 1 and COML captioned "COM" + port.
    virtual void ShowConnection(ConnectionKind kind, int comPort) = 0;
    // The UPS is read from a NUT server: the network picture and `where`
    // ("ups@host:3493") in place of the USB and serial captions.
    virtual void ShowNetworkConnection(const std::string& where) = 0;
};

bool IsStatusProbeReply(const std::string& reply, std::string_view query);

struct DetectionDeps {
    TUPSLink& link;
    const TUPSSettings& live;
    ISleeper& sleeper;
    ILogSink& log;
    IFeedback& feedback;
    IDetectionView& view;
    IBatteryRating& battery;
    // Reapplies the stored battery thresholds, so saved values win over the preset.
    std::function<void()> loadBatterySettings;
    // The texts of VIDE and PIDE for the USB messages.
    std::function<std::pair<std::string, std::string>()> usbIdText;
    char decimalSeparator = '.';
};

class Detector {
public:
    explicit Detector(DetectionDeps deps) : deps_(std::move(deps)) {}

    bool DetectProtocol(DetectionStart start = DetectionStart::User);
    bool ProbeQ1();
    bool ProbeQS();
    bool ProbeI();
    bool ProbeF();

    const TUPSInformation& Information() const { return info_; }
    const RatedValues& Rated() const { return rated_; }

private:
    std::string Exchange(std::string_view command);
    // Once over USB, then with retries over serial.
    bool WithRetries(const std::function<bool()>& probe);
    bool Probed(const std::function<bool()>& probe);
    void ReportDetected(const char* protocol);

    DetectionDeps deps_;
    TUPSInformation info_;
    RatedValues rated_;
    DetectionStart start_ = DetectionStart::User;
};

}  // namespace velt
