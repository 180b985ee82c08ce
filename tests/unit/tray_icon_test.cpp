// The notification icon against shells of different ages: what is added,
// the fallback when version 4 is refused, clicks, balloons and Explorer
// restarts.
#include "ui/tray_logic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace velt::ui {
namespace {

using namespace tray_event;

constexpr std::uintptr_t kIconId = 1;

// What a shell refuses, from Shell_NotifyIcon's documented failures:
// NIM_SETVERSION fails for a version it does not support, a call fails while
// there is no notification area, for an icon that is not there, and (ADD) for
// one that already is. A record larger than the shell knows is refused by
// some shells and taken as the oldest record (no balloon, no version) by
// others.
struct ShellModel {
    const char* name;
    bool running;
    unsigned maxVersion;
    bool knowsFullRecord;
    bool oversizeAsOldest;
};

constexpr ShellModel kVista{"Vista and later", true, 4, true, false};
constexpr ShellModel kXPRefusing{"XP refusing the full record", true, 3, false, false};
constexpr ShellModel kXPTruncating{"XP taking the full record as the oldest", true, 3, false, true};
constexpr ShellModel kNoShell{"no notification area", false, 4, true, false};

class FakeShell final : public INotifyShell {
public:
    explicit FakeShell(ShellModel model) : model_(model) {}

    enum class Op { Add, Modify, Delete, SetVersion };
    struct Call {
        Op op;
        NotifyRecord record;
        bool taken;
    };
    std::vector<Call> calls;

    // The icon as the shell holds it.
    bool present = false;
    bool oldestRecord = false;  // taken as the record without balloon fields
    unsigned version = 0;
    TrayImage image = TrayImage::Normal;
    std::string tip;
    std::deque<std::string> balloons;  // the front one is shown, the rest wait

    void Restart() {  // Explorer ended and came back: every icon forgotten
        model_.running = true;
        present = false;
        balloons.clear();
    }

    bool Add(const NotifyRecord& r) override {
        bool ok = model_.running && !present && Takes(r);
        if (ok) {
            present = true;
            oldestRecord = Oversize(r);
            version = 0;
            image = r.image;
            if (r.fields & kTrayTipField) tip = r.tip;
        }
        return Log(Op::Add, r, ok);
    }

    bool Modify(const NotifyRecord& r) override {
        const bool ok = model_.running && present && Takes(r);
        if (ok && (r.fields & kTrayIconField)) image = r.image;
        if (ok && (r.fields & kTrayInfoField) && !Oversize(r)) {
            if (r.balloonText.empty()) {
                if (!balloons.empty()) balloons.pop_front();
            } else {
                balloons.push_back(r.balloonTitle + "|" + r.balloonText);
            }
        }
        return Log(Op::Modify, r, ok);
    }

    bool Delete(const NotifyRecord& r) override {
        const bool ok = model_.running && present && Takes(r);
        if (ok) {
            present = false;
            balloons.clear();
        }
        return Log(Op::Delete, r, ok);
    }

    bool SetVersion(const NotifyRecord& r) override {
        const bool ok = model_.running && present && Takes(r) && !Oversize(r) && r.version <= model_.maxVersion;
        if (ok) version = r.version;
        return Log(Op::SetVersion, r, ok);
    }

    // The callbacks a click sends, in the form the icon's version gives them.
    std::vector<std::uintptr_t> Events(std::vector<unsigned> messages) const {
        std::vector<std::uintptr_t> out;
        for (unsigned m : messages) {
            if (version < 4 && (m == kSelect || m == kContextMenu)) continue;
            out.push_back(version >= 4 ? (kIconId << 16) | m : m);
        }
        return out;
    }

private:
    bool Oversize(const NotifyRecord& r) const { return r.size == RecordSize::Full && !model_.knowsFullRecord; }
    bool Takes(const NotifyRecord& r) const { return !Oversize(r) || model_.oversizeAsOldest; }
    bool Log(Op op, const NotifyRecord& r, bool ok) {
        calls.push_back({op, r, ok});
        return ok;
    }

    ShellModel model_;
};

using Op = FakeShell::Op;

const std::vector<unsigned> kLeftClick{kLeftButtonDown, kLeftButtonUp, kSelect};
const std::vector<unsigned> kRightClick{kRightButtonDown, kRightButtonUp, kContextMenu};

int Count(TrayIconLogic& tray, const std::vector<std::uintptr_t>& events, TrayAction action) {
    int n = 0;
    for (auto e : events) n += tray.OnCallback(e) == action;
    return n;
}

std::vector<std::pair<Op, bool>> Ops(const FakeShell& shell) {
    std::vector<std::pair<Op, bool>> out;
    for (const auto& c : shell.calls) out.emplace_back(c.op, c.taken);
    return out;
}

struct AddCase {
    ShellModel shell;
    std::vector<std::pair<Op, bool>> addCalls;
    unsigned version;
    RecordSize size;
};

// Every shell ends up with the icon it can work with: the menu on a right
// click, one restore per left click, the picture and the balloon.
TEST(TrayIcon, EachShellGetsAWorkingIcon) {
    const AddCase cases[] = {
        {kVista, {{Op::Add, true}, {Op::SetVersion, true}}, 4, RecordSize::Full},
        {kXPRefusing, {{Op::Add, false}, {Op::Add, true}}, 0, RecordSize::V2},
        {kXPTruncating,
         {{Op::Add, true}, {Op::SetVersion, false}, {Op::Delete, true}, {Op::Add, true}},
         0,
         RecordSize::V2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shell.name);
        FakeShell shell(c.shell);
        TrayIconLogic tray(shell, "Veltrano");
        ASSERT_TRUE(tray.Add());
        EXPECT_EQ(Ops(shell), c.addCalls);
        EXPECT_TRUE(shell.present);
        EXPECT_FALSE(shell.oldestRecord);
        EXPECT_EQ(shell.version, c.version);
        EXPECT_EQ(tray.Version(), c.version);
        EXPECT_EQ(shell.tip, "Veltrano");

        EXPECT_EQ(Count(tray, shell.Events(kLeftClick), TrayAction::Restore), 1);
        EXPECT_EQ(Count(tray, shell.Events(kLeftClick), TrayAction::OpenMenu), 0);
        EXPECT_EQ(Count(tray, shell.Events(kRightClick), TrayAction::OpenMenu), 1);
        EXPECT_EQ(Count(tray, shell.Events(kRightClick), TrayAction::Restore), 0);

        shell.calls.clear();
        tray.SetImage(TrayImage::PowerFail);
        tray.ShowBalloon("UPS Status", "Power fail", BalloonKind::Warning);
        EXPECT_EQ(shell.image, TrayImage::PowerFail);
        EXPECT_EQ(shell.balloons, std::deque<std::string>{"UPS Status|Power fail"});
        for (const auto& call : shell.calls) EXPECT_EQ(call.record.size, c.size);
        // No balloon is the answer to a click: each waits out the user's quiet
        // time, where the shell's record can say so.
        EXPECT_EQ(shell.calls.back().record.respectQuietTime, c.size == RecordSize::Full);

        tray.Delete();
        EXPECT_FALSE(shell.present);
    }
}

// Explorer restarting, or only rebuilding its taskbar, or starting after us:
// the icon comes back with its current picture and its version set again.
TEST(TrayIcon, TaskbarCreatedBringsTheIconBack) {
    struct Case {
        const char* name;
        ShellModel shell;
        bool restart;
    } const cases[] = {
        {"Explorer restarted", kVista, true},
        {"taskbar rebuilt, icon still held", kVista, false},
        {"Explorer started after us", kNoShell, true},
        {"XP restarted", kXPRefusing, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeShell shell(c.shell);
        TrayIconLogic tray(shell, "Veltrano");
        EXPECT_EQ(tray.Add(), c.shell.running);
        tray.SetImage(TrayImage::Avr);
        tray.ShowBalloon("UPS Status", "AVR On", BalloonKind::Information);
        if (c.restart) shell.Restart();
        ASSERT_TRUE(tray.Readd());
        EXPECT_TRUE(shell.present);
        EXPECT_EQ(shell.image, TrayImage::Avr);
        EXPECT_EQ(shell.version, tray.Version());
        EXPECT_EQ(tray.Version(), c.shell.maxVersion >= 4 ? 4u : 0u);
        EXPECT_EQ(Count(tray, shell.Events(kRightClick), TrayAction::OpenMenu), 1);
    }
}

// A shell queues a balloon behind one still shown; ours takes the old one
// away first, and only when it may still be shown. Title and text arrive cut.
TEST(TrayIcon, NewBalloonReplacesOneStillShown) {
    FakeShell shell(kVista);
    TrayIconLogic tray(shell, "Veltrano");
    ASSERT_TRUE(tray.Add());
    tray.ShowBalloon("UPS Status", "Power fail", BalloonKind::Warning);
    tray.ShowBalloon(std::string(100, 't'), std::string(300, 'x'), BalloonKind::Information);
    EXPECT_EQ(shell.balloons, std::deque<std::string>{std::string(63, 't') + "|" + std::string(255, 'x')});
    EXPECT_EQ(shell.calls.back().record.balloonKind, BalloonKind::Information);

    for (auto e : shell.Events({kBalloonTimeout})) EXPECT_EQ(tray.OnCallback(e), TrayAction::None);
    shell.balloons.clear();  // the shell took it away when its time ran out
    shell.calls.clear();
    tray.ShowBalloon("UPS Status", "Power O.K.", BalloonKind::Information);
    EXPECT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.balloons, std::deque<std::string>{"UPS Status|Power O.K."});
    EXPECT_EQ(tray.BalloonsShown(), 3u);
}

// Without a notification area nothing is sent or counted, but the picture
// is kept for the add that "TaskbarCreated" brings.
TEST(TrayIcon, NothingReachesAMissingShell) {
    FakeShell shell(kNoShell);
    TrayIconLogic tray(shell, "Veltrano");
    EXPECT_FALSE(tray.Add());
    shell.calls.clear();
    tray.SetImage(TrayImage::PowerFail);
    tray.ShowBalloon("UPS Status", "Power fail", BalloonKind::Warning);
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_EQ(tray.BalloonsShown(), 0u);
    EXPECT_EQ(tray.Image(), TrayImage::PowerFail);
}

}  // namespace
}  // namespace velt::ui
