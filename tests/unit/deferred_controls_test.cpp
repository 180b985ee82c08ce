// The window's per-reply writes held back while it is hidden.
#include "ui/deferred_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velt::ui {
namespace {

// Every write as one line, in the order they reached the controls.
class RecordingWriter final : public IControlWriter {
public:
    void WriteText(int id, const std::string& text) override { Add("text", id, text); }
    void WriteCheck(int id, bool checked) override { Add("check", id, checked ? "1" : "0"); }
    void WriteEnabled(int id, bool enabled) override { Add("enabled", id, enabled ? "1" : "0"); }
    void WritePosition(int id, int position) override { Add("position", id, std::to_string(position)); }
    void AppendLines(int id, const std::vector<std::string>& lines) override {
        std::string all;
        for (const auto& l : lines) all += (all.empty() ? "" : "|") + l;
        Add("append", id, all);
    }
    void ClearLines(int id) override { Add("clear", id, ""); }

    std::vector<std::string> writes;

private:
    void Add(const char* what, int id, const std::string& value) {
        writes.push_back(std::string(what) + " " + std::to_string(id) + " " + value);
    }
};

constexpr int kLog = 50;

// One reply's worth of writes, as the status page makes them.
void WriteReply(IControlWriter& w, const std::string& volts, bool fail, int charge) {
    w.WriteText(1, volts);
    w.WriteCheck(2, fail);
    w.WriteText(2, fail ? "Standby UPS" : "Online UPS");
    w.WriteEnabled(3, fail);
    w.WritePosition(4, charge);
}

TEST(DeferredControls, ShownWindowGetsEveryWriteAtOnce) {
    RecordingWriter target;
    DeferredControls d(target);
    d.SetShown(true);
    WriteReply(d, "230.0", true, 80);
    d.AppendLines(kLog, {"a"});
    d.ClearLines(kLog);
    EXPECT_EQ(target.writes, (std::vector<std::string>{"text 1 230.0", "check 2 1", "text 2 Standby UPS",
                                                        "enabled 3 1", "position 4 80", "append 50 a",
                                                        "clear 50 "}));
    EXPECT_EQ(d.Held(), 0u);
}

// Many replies while hidden cost one value per control, painted once on show.
TEST(DeferredControls, HiddenWindowKeepsOnlyTheLatestValueOfEachControl) {
    RecordingWriter target;
    DeferredControls d(target);
    for (int i = 0; i < 100; ++i) WriteReply(d, std::to_string(200 + i), i % 2 == 0, i);
    EXPECT_TRUE(target.writes.empty());
    EXPECT_EQ(d.Held(), 5u);  // a box's caption and its check are two values
    d.SetShown(true);
    EXPECT_EQ(target.writes, (std::vector<std::string>{"text 1 299", "text 2 Online UPS", "check 2 0",
                                                        "enabled 3 0", "position 4 99"}));
    EXPECT_EQ(d.Held(), 0u);
}

TEST(DeferredControls, ShowWithNothingNewWritesNothingAndAHideHoldsAgain) {
    RecordingWriter target;
    DeferredControls d(target);
    d.SetShown(true);
    d.WriteText(1, "x");
    d.SetShown(false);
    d.SetShown(true);
    EXPECT_EQ(target.writes, std::vector<std::string>{"text 1 x"});
    d.SetShown(false);
    d.WriteText(1, "y");
    EXPECT_EQ(target.writes.size(), 1u);
    d.SetShown(true);
    EXPECT_EQ(target.writes.back(), "text 1 y");
}

// Log lines are not values: each one counts, in order, and a clear wipes
// only what came before it.
struct LogCase {
    const char* name;
    std::vector<std::vector<std::string>> before;  // appends before a clear, if any
    bool clear;
    std::vector<std::vector<std::string>> after;
    std::vector<std::string> expected;
};

class DeferredLog : public ::testing::TestWithParam<LogCase> {};

TEST_P(DeferredLog, AppearsOnShowAsIfWrittenAtOnce) {
    const LogCase& c = GetParam();
    RecordingWriter target;
    DeferredControls d(target);
    for (const auto& lines : c.before) d.AppendLines(kLog, lines);
    if (c.clear) d.ClearLines(kLog);
    for (const auto& lines : c.after) d.AppendLines(kLog, lines);
    EXPECT_TRUE(target.writes.empty());
    d.SetShown(true);
    EXPECT_EQ(target.writes, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeferredLog,
    ::testing::Values(LogCase{"AllLinesInOrder", {{"1"}, {"2", "3"}, {"4"}}, false, {}, {"append 50 1|2|3|4"}},
                      LogCase{"ClearDropsEarlierLines", {{"1"}, {"2"}}, true, {{"3"}}, {"clear 50 ", "append 50 3"}},
                      LogCase{"ClearAloneStillClears", {}, true, {}, {"clear 50 "}},
                      LogCase{"ClearAfterEverything", {{"1"}}, true, {}, {"clear 50 "}},
                      LogCase{"NothingWritten", {}, false, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Values and log lines of other controls are not mixed up.
TEST(DeferredControls, ControlsAreKeptApartById) {
    RecordingWriter target;
    DeferredControls d(target);
    d.WriteText(1, "a");
    d.WriteText(7, "b");
    d.WriteText(1, "c");
    d.AppendLines(kLog, {"x"});
    d.AppendLines(kLog + 1, {"y"});
    d.SetShown(true);
    EXPECT_EQ(target.writes,
              (std::vector<std::string>{"text 1 c", "text 7 b", "append 50 x", "append 51 y"}));
}

}  // namespace
}  // namespace velt::ui
