// The live settings behind the window's settings controls: a user's change
// reaches the live settings at once, with its handler; showing the settings
// changes the controls and runs no handler.
#include "ui/settings_controls.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace velt::ui {
namespace {

using binding::Effect;
using S = TUPSSettings;

// Controls as plain values. Like the real edits, a text set while a listener
// is attached is reported back as a change.
struct FakeControls : IControlAccess {
    mutable std::map<int, bool> checks, enabled;
    mutable std::map<int, std::string> texts;
    mutable std::map<int, int32_t> positions;
    mutable std::map<int, std::vector<int32_t>> ranges;
    std::function<void(int)> onTextChange;

    void SetCheck(int id, bool c) const override { checks[id] = c; }
    bool Checked(int id) const override { return checks[id]; }
    void SetText(int id, const std::string& t) const override {
        texts[id] = t;
        if (onTextChange) onTextChange(id);
    }
    std::string Text(int id) const override { return texts[id]; }
    void Enable(int id, bool e) const override { enabled[id] = e; }
    void SetUpDownRange(int id, int32_t min, int32_t max, int inc) const override { ranges[id] = {min, max, inc}; }
    void SetUpDownPosition(int id, int32_t p) const override { positions[id] = p; }
    std::optional<int32_t> UpDownPosition(int id) const override {
        const auto it = positions.find(id);
        if (it == positions.end()) return std::nullopt;
        return it->second;
    }
    // Like CB_SETCURSEL: an index with no item leaves nothing selected.
    mutable std::map<int, std::vector<std::string>> items;
    mutable std::map<int, int> selected;
    void SetItems(int id, const std::vector<std::string>& i) const override {
        items[id] = i;
        selected[id] = -1;
    }
    void SetSelection(int id, int index) const override {
        selected[id] = index >= 0 && index < static_cast<int>(items[id].size()) ? index : -1;
    }
    std::optional<int> Selection(int id) const override {
        const auto it = selected.find(id);
        if (it == selected.end() || it->second < 0) return std::nullopt;
        return it->second;
    }
};

struct Rig {
    FakeControls controls;
    TUPSSettings live;
    std::vector<Effect> effects;
    SettingsControls settings{controls, live, [this](Effect e) { effects.push_back(e); }};

    // The user ticks or unticks a box: the control changes, then it notifies.
    void Click(int id) {
        controls.checks[id] = !controls.checks[id];
        settings.OnEvent(id, ControlEvent::Clicked);
    }
    void Type(int id, const std::string& text) {
        controls.texts[id] = text;
        settings.OnEvent(id, ControlEvent::TextChanged);
    }
    void Arrow(int id, int32_t position) {
        controls.positions[id] = position;
        settings.OnUpDownScroll(id);
    }
};

TEST(SettingsControls, ShowPutsEveryLiveValueIntoItsControl) {
    Rig r;
    r.live.DelayAction = false;
    r.live.SMTPHost = "mail.example.org";
    r.live.Delay = 1200;
    r.live.Action = 3;
    r.settings.Show(false, false);
    EXPECT_FALSE(r.controls.checks[IDC_DelayCB]);
    EXPECT_TRUE(r.controls.checks[IDC_BalloonCB]);
    EXPECT_EQ(r.controls.texts[IDC_SMTPHostE], "mail.example.org");
    EXPECT_EQ(r.controls.positions[IDC_DelayUD], 1200);
    EXPECT_EQ(r.controls.positions[IDC_RefreshUD], 3);
    EXPECT_TRUE(r.controls.checks[IDC_HibernateRB]);
    EXPECT_FALSE(r.controls.checks[IDC_ShutdownRB]);
}

// The edits report the texts Show writes; none of that is a user's change.
TEST(SettingsControls, ShowRunsNoHandlerAndChangesNoSetting) {
    Rig r;
    r.live.SMTPReports = true;
    r.live.HTTPServer = true;
    const TUPSSettings before = r.live;
    r.controls.onTextChange = [&](int id) { r.settings.OnEvent(id, ControlEvent::TextChanged); };
    r.settings.Show(false, false);
    EXPECT_TRUE(r.effects.empty());
    EXPECT_EQ(r.live, before);
}

TEST(SettingsControls, ShowBringsAStoredNumberIntoTheUpDownsRange) {
    Rig r;
    r.live.Delay = 5;
    r.live.SMTPDelay = 500;
    r.settings.Show(false, false);
    EXPECT_EQ(r.controls.positions[IDC_DelayUD], 10);
    EXPECT_EQ(r.controls.positions[IDC_SMTPDelayUD], 180);
}

// The drop-down shows the stored number as its item; a number with no item
// shows none and stays stored until the user picks one.
TEST(SettingsControls, SecurityListFollowsTheStoredNumberAndTheUsersPick) {
    for (const auto& [stored, shown] : std::vector<std::pair<int32_t, int>>{{0, 0}, {2, 2}, {7, -1}, {-1, -1}}) {
        Rig r;
        r.settings.SetUpRanges();
        EXPECT_EQ(r.controls.items[IDC_SMTPSecurityLB], (std::vector<std::string>{"No TLS", "STARTTLS", "TLS"}));
        r.live.SMTPSecurity = stored;
        r.settings.Show(false, false);
        EXPECT_EQ(r.controls.selected[IDC_SMTPSecurityLB], shown) << stored;
        EXPECT_EQ(r.live.SMTPSecurity, stored);
        r.controls.selected[IDC_SMTPSecurityLB] = 1;
        EXPECT_TRUE(r.settings.OnEvent(IDC_SMTPSecurityLB, ControlEvent::SelectionChanged));
        EXPECT_EQ(r.live.SMTPSecurity, 1);
    }
}

TEST(SettingsControls, EveryBoxClickReachesTheLiveSettingsAtOnce) {
    for (const auto& b : binding::kChecks) {
        Rig r;
        r.settings.Show(false, false);
        const bool before = r.live.*b.member;
        r.Click(b.id);
        EXPECT_EQ(r.live.*b.member, !before) << b.id;
    }
}

TEST(SettingsControls, BoxesWithAHandlerRunItAfterTheValueIsStored) {
    Rig r;
    r.settings.Show(false, false);
    bool seen = false;
    SettingsControls s{r.controls, r.live, [&](Effect e) {
                           EXPECT_EQ(e, Effect::SMTPReports);
                           seen = r.live.SMTPReports;
                       }};
    r.controls.checks[IDC_SMTPReportsCB] = true;
    s.OnEvent(IDC_SMTPReportsCB, ControlEvent::Clicked);
    EXPECT_TRUE(seen);
    r.Click(IDC_LANReportsCB);
    r.Click(IDC_BalloonCB);
    EXPECT_EQ(r.effects, (std::vector<Effect>{Effect::LANReports}));
}

TEST(SettingsControls, RadioClickSetsTheActionAndLeavesOneOn) {
    Rig r;
    r.settings.Show(false, false);
    r.settings.OnEvent(IDC_NothingRB, ControlEvent::Clicked);
    EXPECT_EQ(r.live.Action, 4);
    r.settings.OnEvent(IDC_SleepRB, ControlEvent::Clicked);
    EXPECT_EQ(r.live.Action, 2);
    int on = 0;
    for (const auto& rb : binding::kRadios) on += r.controls.checks[rb.id];
    EXPECT_EQ(on, 1);
    EXPECT_TRUE(r.controls.checks[IDC_SleepRB]);
}

// Each bound edit, whichever page it is on: Show writes its own setting into
// it, and what the user types goes back into that setting and no other.
TEST(SettingsControls, EveryEditShowsAndStoresItsOwnSetting) {
    for (const auto& b : binding::kTexts) {
        Rig r;
        for (const auto& other : binding::kTexts) r.live.*other.member = "v" + std::to_string(other.id);
        r.settings.Show(false, false);
        EXPECT_EQ(r.controls.texts[b.id], "v" + std::to_string(b.id)) << b.id;
        const TUPSSettings before = r.live;
        r.Type(b.id, "typed-1");
        EXPECT_EQ(r.live.*b.member, "typed-1") << b.id;
        r.live.*b.member = before.*b.member;
        EXPECT_EQ(r.live, before) << b.id;
    }
}

TEST(SettingsControls, TypedTextsAreStoredAsTheyStand) {
    Rig r;
    r.Type(IDC_SMTPPswE, " secret ");
    r.Type(IDC_HTTPPortE, "80a");
    r.Type(IDC_LANServerNameE, "");
    EXPECT_EQ(r.live.SMTPPassword, " secret ");
    EXPECT_EQ(r.live.HTTPPort, "80a");
    EXPECT_EQ(r.live.LANServer, "");
}

// Typing in RefreshE moves the setting but not the poll interval: only the
// arrows run the refresh handler.
// NUT clients split "ups@host:port" and their listings at other characters:
// the field takes only what they can split, and puts the name back otherwise.
// Both names: the one this server gives, and the one read from another server.
TEST(SettingsControls, TheUpsNameTakesOnlyWhatNutClientsCanSplit) {
    const std::pair<const char*, bool> typed[] = {
        {"rack-1.a_B", true}, {"", true}, {"ups 1", false}, {"ups@nas", false},
        {"ups:1", false},     {"u\"ps", false}, {"r\xe4" "ck", false}, {"ups\t", false},
    };
    const std::pair<int, std::string S::*> fields[] = {{IDC_NUTUPSNameE, &S::NUTUPSName},
                                                       {IDC_RemoteUPSE, &S::RemoteUPS}};
    for (const auto& [id, member] : fields) {
        for (const auto& [text, taken] : typed) {
            Rig r;
            r.live.*member = "ups";
            r.controls.onTextChange = [&](int changed) { r.settings.OnEvent(changed, ControlEvent::TextChanged); };
            r.Type(id, text);
            EXPECT_EQ(r.live.*member, taken ? text : "ups") << id << " " << text;
            EXPECT_EQ(r.controls.texts[id], taken ? text : "ups") << id << " " << text;
            EXPECT_EQ(r.effects, taken ? std::vector<Effect>{} : std::vector<Effect>{Effect::NUTUPSNameRefused})
                << id << " " << text;
        }
    }
}

TEST(SettingsControls, TypedRefreshIntervalIsStoredWithoutItsHandler) {
    Rig r;
    r.Type(IDC_RefreshE, "15");
    EXPECT_EQ(r.live.RefreshInterval, 15);
    r.Type(IDC_RefreshE, "0");
    EXPECT_EQ(r.live.RefreshInterval, 1);
    r.Type(IDC_RefreshE, "");
    EXPECT_EQ(r.live.RefreshInterval, 1);
    EXPECT_TRUE(r.effects.empty());
    r.Arrow(IDC_RefreshUD, 7);
    EXPECT_EQ(r.live.RefreshInterval, 7);
    EXPECT_EQ(r.effects, (std::vector<Effect>{Effect::RefreshInterval}));
}

// The report periods follow their arrows at once; the power-fail delays are
// read when they are needed.
TEST(SettingsControls, ArrowClicksStoreThePositionWithinTheRangeAndRunTheirHandler) {
    const struct {
        int upDown;
        int32_t position;
        int32_t S::*member;
        int32_t stored;
        std::vector<Effect> effects;
    } cases[] = {
        {IDC_DelayUD, 610, &S::Delay, 610, {}},
        {IDC_UPSShutdownUD, 61, &S::UPSShutdownDelay, 60, {}},
        {IDC_SMTPDelayUD, 185, &S::SMTPDelay, 180, {Effect::SMTPDelay}},
        {IDC_LANDelayUD, 25, &S::LANDelay, 25, {Effect::LANDelay}},
        {IDC_NUTWaitUD, 305, &S::NUTShutdownWait, 300, {}},
        // The dead time is read at the next start, like the rest of the remote fields.
        {IDC_RemoteDeadTimeUD, 2, &S::RemoteDeadTime, 5, {}},
    };
    for (const auto& c : cases) {
        Rig r;
        r.Arrow(c.upDown, c.position);
        EXPECT_EQ(r.live.*c.member, c.stored) << c.upDown;
        EXPECT_EQ(r.effects, c.effects) << c.upDown;
    }
}

TEST(SettingsControls, AnUpDownThatCannotTellKeepsTheSetting) {
    Rig r;
    r.settings.OnUpDownScroll(IDC_SMTPDelayUD);  // no position known
    EXPECT_EQ(r.live.SMTPDelay, 20);
    EXPECT_FALSE(r.settings.OnUpDownScroll(IDC_FullBatteryVoltageUD));  // not a settings up-down here
}

TEST(SettingsControls, RangesAndStepsGoToTheUpDowns) {
    Rig r;
    r.settings.SetUpRanges();
    EXPECT_EQ(r.controls.ranges[IDC_DelayUD], (std::vector<int32_t>{10, 10800, 10}));
    EXPECT_EQ(r.controls.ranges[IDC_RefreshUD], (std::vector<int32_t>{1, 60, 1}));
    EXPECT_EQ(r.controls.ranges[IDC_SMTPDelayUD], (std::vector<int32_t>{5, 180, 5}));
}

TEST(SettingsControls, HttpFieldsFollowTheirSwitches) {
    Rig r;
    r.live.HTTPServer = true;  // checked, yet not listening: the port stays editable
    r.settings.Show(false, false);
    EXPECT_TRUE(r.controls.enabled[IDC_HTTPPortE]);
    EXPECT_FALSE(r.controls.enabled[IDC_HTTPUserE]);
    EXPECT_FALSE(r.controls.enabled[IDC_HTTPPasswordE]);
    r.Click(IDC_HTTPAuthCB);
    r.Click(IDC_HTTPCB);
    EXPECT_EQ(r.effects, (std::vector<Effect>{Effect::HTTPAuth, Effect::HTTPServer}));
    r.settings.ShowHttpStates(true);
    EXPECT_FALSE(r.controls.enabled[IDC_HTTPPortE]);
    EXPECT_TRUE(r.controls.enabled[IDC_HTTPUserE]);
    EXPECT_TRUE(r.controls.enabled[IDC_HTTPPasswordE]);
}

// The source list holds the two sources and nothing more; the NUT server's
// fields are editable while it is the source; a pick that changes the source
// restarts monitoring, once, after the source is stored.
TEST(SettingsControls, TheSourceListEnablesTheRemoteFieldsAndRestartsOnAChange) {
    const struct {
        int32_t stored;
        int picked;
        int32_t now;
        bool restarted;
    } cases[] = {
        {kUPSSourceLocal, 1, kUPSSourceNut, true},
        {kUPSSourceNut, 0, kUPSSourceLocal, true},
        {kUPSSourceNut, 1, kUPSSourceNut, false},    // the same entry again
        {kUPSSourceLocal, 0, kUPSSourceLocal, false},
    };
    for (const auto& c : cases) {
        Rig r;
        r.settings.SetUpRanges();
        EXPECT_EQ(r.controls.items[IDC_UPSSourceLB],
                  (std::vector<std::string>{"This computer's USB/COM UPS", "A NUT server"}));
        r.live.UPSSource = c.stored;
        r.settings.Show(false, false);
        EXPECT_EQ(r.controls.selected[IDC_UPSSourceLB], c.stored);
        for (const int id : binding::kRemoteSourceControls)
            EXPECT_EQ(r.controls.enabled[id], c.stored == kUPSSourceNut) << id;

        int32_t sourceAtEffect = -1;
        SettingsControls s{r.controls, r.live, [&](Effect e) {
                               EXPECT_EQ(e, Effect::UPSSource);
                               sourceAtEffect = r.live.UPSSource;
                           }};
        r.controls.selected[IDC_UPSSourceLB] = c.picked;
        EXPECT_TRUE(s.OnEvent(IDC_UPSSourceLB, ControlEvent::SelectionChanged));
        EXPECT_EQ(r.live.UPSSource, c.now);
        EXPECT_EQ(sourceAtEffect, c.restarted ? c.now : -1) << c.stored << " -> " << c.picked;
        for (const int id : binding::kRemoteSourceControls)
            EXPECT_EQ(r.controls.enabled[id], c.now == kUPSSourceNut) << id;
    }
}

TEST(SettingsControls, OtherControlsAreNotTaken) {
    Rig r;
    EXPECT_FALSE(r.settings.OnEvent(IDC_StartSB, ControlEvent::Clicked));
    EXPECT_FALSE(r.settings.OnEvent(IDC_UPSStatusCB1, ControlEvent::Clicked));
    EXPECT_FALSE(r.settings.OnEvent(IDC_SMTPHostE, ControlEvent::Clicked));
    EXPECT_FALSE(r.settings.OnEvent(IDC_DelayE, ControlEvent::TextChanged));
}

}  // namespace
}  // namespace velt::ui
