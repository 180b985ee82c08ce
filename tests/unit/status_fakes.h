#pragma once
// Recording fakes of the status page, balloons, warnings, timers and the
// battery controls.
#include <functional>
#include <map>
#include <stdexcept>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/feedback.h"
#include "core/detection.h"
#include "core/hid_discovery.h"
#include "status/warnings.h"
#include "status/battery_charge.h"
#include "status/status_evaluation.h"
#include "sys/timer.h"

namespace velt::test {

struct FakeTimer : ITimer {
    uint32_t interval = 1000;
    bool enabled = false;
    int starts = 0;  // how often the count was restarted
    // Like a window timer: a new interval restarts a running count.
    void SetInterval(uint32_t ms) override {
        if (ms != interval && enabled) ++starts;
        interval = ms;
    }
    uint32_t Interval() const override { return interval; }
    void SetEnabled(bool e) override {
        if (e) ++starts;
        enabled = e;
    }
    bool Enabled() const override { return enabled; }
};

struct FakeFeedback : IFeedback {
    std::string status;
    std::vector<std::string> statusHistory;
    std::vector<std::pair<std::string, std::string>> balloons;
    std::vector<BalloonKind> kinds;
    void SetStatusText(const std::string& t) override {
        status = t;
        statusHistory.push_back(t);
    }
    void ShowBalloon(const std::string& title, const std::string& text, BalloonKind k) override {
        balloons.emplace_back(title, text);
        kinds.push_back(k);
    }
};

struct FakeWarnings : IWarningSender {
    std::vector<std::pair<std::string, std::string>> mails;
    std::vector<std::string> lan;
    void SendMail(const TUPSSettings&, const std::string& s, const std::string& b) override { mails.emplace_back(s, b); }
    void SendLANMessage(const TUPSSettings&, const std::string& b) override { lan.push_back(b); }
    void SendPush(const TUPSSettings&, const PushAlert& a) override { pushes.push_back(a); }
    void SendPushTest(const TUPSSettings&, PushChannel c, const PushAlert& a) override { tests.emplace_back(c, a); }
    std::vector<PushAlert> pushes;
    std::vector<std::pair<PushChannel, PushAlert>> tests;
};

struct FakeBatteryView : IBatteryView {
    std::string caption = "...", nominal = "12";
    int gauge = 100;
    std::map<BatteryUpDown, std::string> texts;
    std::map<BatteryUpDown, UpDownModel> updowns;
    int askAnswer = 12, asked = 0;
    void SetChargeCaption(const std::string& t) override { caption = t; }
    void SetGaugePosition(int p) override { gauge = p; }
    void SetNominalVoltageText(const std::string& t) override { nominal = t; }
    void SetThresholdText(BatteryUpDown w, const std::string& t) override { texts[w] = t; }
    void SetThresholdUpDown(BatteryUpDown w, const UpDownModel& m) override { updowns[w] = m; }
    std::function<void()> onAsk;
    int AskNominalBatteryVoltage() override {
        ++asked;
        if (onAsk) onAsk();
        return askAnswer;
    }
};

struct FakeStatusView : IStatusView {
    std::map<int, std::string> fields;
    bool boxes[9] = {};
    std::string standby, mode, avrMode = "...", min, max;
    bool avrEnabled = false;
    TrayImage tray = TrayImage::Normal;
    std::string throwOn;  // a field text the view refuses with an exception
    void SetFieldText(int f, const std::string& t) override {
        if (!throwOn.empty() && t == throwOn) throw std::runtime_error("cannot show " + t);
        fields[f] = t;
    }
    void SetStatusBox(int b, bool c) override { boxes[b] = c; }
    void SetStandbyCaption(const std::string& c) override { standby = c; }
    void SetModeWord(const std::string& w) override { mode = w; }
    void SetAvrMode(const std::string& c, bool e) override {
        avrMode = c;
        avrEnabled = e;
    }
    void SetInputVoltageMinMax(const std::string& a, const std::string& b) override {
        min = a;
        max = b;
    }
    void SetTrayImage(TrayImage i) override { tray = i; }
    ShownPower power;
    bool powerOnBattery = false;
    void ShowPower(const ShownPower& p, bool onBattery) override {
        power = p;
        powerOnBattery = onBattery;
    }
};

struct FakeDetectionView : IDetectionView {
    std::map<Probe, bool> labels;
    std::optional<TUPSInformation> shown;
    std::optional<std::pair<ConnectionKind, int>> connection;
    std::string network;
    void SetProbeLabel(Probe p, bool e) override { labels[p] = e; }
    void ShowIdentification(const TUPSInformation& i) override { shown = i; }
    void ShowConnection(ConnectionKind k, int port) override { connection = {{k, port}}; }
    void ShowNetworkConnection(const std::string& where) override { network = where; }
};

struct FakeHidListView : IHidListView {
    std::vector<std::string> entries;
    std::string vid, pid, product;
    void ClearHidList() override { entries.clear(); }
    void AddHidEntry(const std::string& t) override { entries.push_back(t); }
    void ShowIdentity(const std::string& v, const std::string& p, const std::string& n) override {
        vid = v;
        pid = p;
        product = n;
    }
};

}  // namespace velt::test
