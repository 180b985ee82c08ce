// Replays the replies of real UPS units (tests/data/replies) through the
// whole reading path: the serial exchange and its filter, detection with its
// "I" and "F" parsers, the worker's poll, the parse, the evaluation, the
// snapshot the main form publishes, and the NUT, JSON and metrics feeds.
//
// A file is lines of:
//   # comment                  where the replies come from
//   probe I                    the "I" probe is on (it is off by default)
//   ask-nominal <volts>        the user's answer when no "F" reply comes
//   answer <command> <bytes>   the unit's reply to "Q1", "QS", "I" or "F"
//   reply <bytes>              one poll's reply; the expects below check it
//   expect <what> <value>      see Check()
// Bytes take the escapes \r \n \0 \\ and \xHH.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "core/read_data.h"
#include "main_form_rig.h"
#include "reports/nut_variables.h"
#include "reports/status_json.h"
#include "reports/status_metrics.h"
#include "reports/ups_readings.h"

namespace velt::test {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(VELTRANO_SOURCE_DIR) / "tests" / "data" / "replies";

struct Expect {
    std::string what, value;
};

struct Poll {
    std::string raw;
    std::vector<Expect> expects;
};

struct ReplyCase {
    std::map<std::string, std::string> answers;  // by command without its CR
    bool probeI = false;
    int askNominal = 12;
    std::vector<Poll> polls;
};

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r') out += '\r';
        else if (c == 'n') out += '\n';
        else if (c == '0') out += '\0';
        else if (c == 'x') {
            out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else out += c;
    }
    return out;
}

// "word rest": the first word and everything after its blank, untrimmed.
std::pair<std::string, std::string> SplitWord(const std::string& line) {
    const size_t blank = line.find(' ');
    if (blank == std::string::npos) return {line, ""};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

ReplyCase LoadCase(const fs::path& file) {
    ReplyCase rc;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const auto [key, rest] = SplitWord(line);
        if (key == "probe" && rest == "I") rc.probeI = true;
        else if (key == "ask-nominal") rc.askNominal = std::stoi(rest);
        else if (key == "answer") rc.answers[SplitWord(rest).first] = Unescape(SplitWord(rest).second);
        else if (key == "reply") rc.polls.push_back({Unescape(rest), {}});
        else if (key == "expect" && !rc.polls.empty()) rc.polls.back().expects.push_back({SplitWord(rest).first, SplitWord(rest).second});
        else if (!key.empty() && key[0] != '#') ADD_FAILURE() << file << ": cannot read \"" << line << "\"";
    }
    return rc;
}

std::string NumberText(const std::optional<double>& value) {
    return value ? DecimalText(*value).value_or("nan") : "none";
}

std::string BitsText(const TUPSStatus& st) {
    std::string bits;
    for (const StatusFlag& flag : kStatusFlags) bits += st.*flag.bit ? '1' : '0';
    return bits;
}

const ReplyField* ReadingNamed(const TUPSStatus& st, const std::string& name) {
    for (const ReplyFieldName& field : kReplyFields)
        if (field.key == name) return FieldOfReply(st, field.field);
    ADD_FAILURE() << "no reading named " << name;
    return nullptr;
}

std::string NutValue(const ShownStatus& shown, const std::string& name) {
    for (const NutVariable& v : NutVariables(shown, {"", "1.0"}, false))
        if (v.name == name) return v.value;
    return "none";
}

// One polled reply: what the snapshot and the feeds made of it.
struct Outcome {
    ShownStatus shown;
    bool parsedNow = false;  // this reply gave a new status
    std::vector<std::string> log;
};

// The value an expectation names, as text; readings and volts as numbers.
std::string Observed(const Outcome& o, const Expect& e) {
    const ShownStatus& shown = o.shown;
    const TUPSStatus* st = LastReply(shown);
    if (e.what == "parsed") return o.parsedNow ? "yes" : "no";
    if (e.what == "bits") return st ? BitsText(*st) : "none";
    if (e.what == "pack_voltage") return NumberText(PackVolts(shown));
    if (e.what == "nominal") return NumberText(NominalBatteryVolts(shown));
    if (e.what.rfind("text.", 0) == 0) {
        const ReplyField* r = st ? ReadingNamed(*st, e.what.substr(5)) : nullptr;
        return r ? r->text : "none";
    }
    if (e.what.rfind("nut.", 0) == 0) return NutValue(shown, e.what.substr(4));
    const ReplyField* reading = st ? ReadingNamed(*st, e.what) : nullptr;
    if (!reading) return "none";
    return reading->value ? NumberText(reading->value) : "null";
}

// The texts an expectation searches: a feed's body or the log so far.
std::string Searched(const Outcome& o, const std::string& what) {
    if (what == "json") return StatusJson(o.shown, "ups");
    if (what == "metrics") return StatusMetrics(o.shown, "ups");
    std::string lines;
    for (const auto& line : o.log) lines += line + "\n";
    return lines;
}

void Check(const Outcome& o, const Expect& e) {
    if (e.what == "json" || e.what == "metrics" || e.what == "log") {
        const std::string text = Searched(o, e.what);
        EXPECT_NE(text.find(e.value), std::string::npos) << e.what << " lacks " << e.value << " in:\n" << text;
        return;
    }
    EXPECT_EQ(Observed(o, e), e.value) << e.what;
}

// The program around one unit on COM1: connected by the Start action, then
// polled by the worker's own cycle, on virtual time.
struct ReplayRig : MainFormRig {
    std::string pollReply;

    explicit ReplayRig(const ReplyCase& rc) {
        ports.present = {{1, true}};
        ports.responder = [this, &rc](const std::string& command) {
            const std::string name = command.substr(0, command.find('\r'));
            const bool status = name == "Q1" || name == "QS";
            if (status && !pollReply.empty()) return pollReply;
            const auto it = rc.answers.find(name);
            return it == rc.answers.end() ? std::string() : it->second;
        };
        form.Live().I = rc.probeI;
        batteryView.askAnswer = rc.askNominal;
        form.StartAExecute();
    }

    Outcome Replay(const std::string& raw) {
        pollReply = raw;
        const auto before = form.Shown().Current();
        ReadData worker(form.Link(), lock, time, time,
                         {nullptr, [this](WorkerMessage m) { form.OnWorkerMessage(m); }});
        worker.Cycle();
        const auto after = form.Shown().Current();
        return {*after, after != before && LastReply(*after), view.log};
    }
};

class ReplyCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(ReplyCorpus, EveryReplyReadsAsTheUnitMeantIt) {
    const ReplyCase rc = LoadCase(kCorpus / GetParam());
    ASSERT_FALSE(rc.polls.empty()) << "no reply in " << GetParam();
    ReplayRig rig(rc);
    ASSERT_TRUE(rig.form.Link().Monitoring) << "not detected: " << rig.feedback.status;
    for (size_t i = 0; i < rc.polls.size(); ++i) {
        SCOPED_TRACE("reply " + std::to_string(i + 1));
        const Outcome outcome = rig.Replay(rc.polls[i].raw);
        for (const Expect& e : rc.polls[i].expects) Check(outcome, e);
    }
    EXPECT_EQ(rig.lock.depth, 0);
}

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kCorpus))
        if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CaseName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = fs::path(info.param).stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Units, ReplyCorpus, ::testing::ValuesIn(CorpusFiles()), CaseName);

}  // namespace
}  // namespace velt::test
