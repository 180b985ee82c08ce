#include "reports/outbox_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fakes.h"
#include "reports/history_store.h"
#include "reports/history_time.h"
#include "reports/outbox_round.h"
#include "reports/outbox_sender.h"

namespace velt {
namespace {

using test::FixedFormat;

namespace fs = std::filesystem;

constexpr int64_t kStart = 1'800'000'000;
constexpr int kOffset = 60;

struct UtcClock : IClock {
    std::atomic<int64_t> utc{kStart};
    LocalDateTime Now() const override { return LocalTimeAt(utc, kOffset); }
    uint64_t MonotonicMs() const override { return 0; }
};

// A server behind a channel: it keeps what it took, dropping a message id it
// has seen, as servers that deduplicate by Message-ID do. Each send takes
// the next scripted outcome (sent when none is left).
struct FakeServer : IOutboxChannel {
    std::mutex mutex;
    std::deque<SendOutcome> script;
    bool acceptThenCrash = false;  // takes the message, then the program dies
    std::vector<std::string> handed, delivered, bodies;
    std::set<std::string> seenIds;

    SendOutcome Send(const OutboxMessage& message) override {
        std::lock_guard<std::mutex> lock(mutex);
        handed.push_back(message.draft.subject);
        if (acceptThenCrash || script.empty() || script.front().sent) Accept(message);
        if (acceptThenCrash) throw std::runtime_error("crash");
        if (script.empty()) return SendOutcome::Sent();
        const SendOutcome outcome = script.front();
        script.pop_front();
        return outcome;
    }
    void Accept(const OutboxMessage& message) {
        if (!seenIds.insert(message.draft.messageId).second) return;
        delivered.push_back(message.draft.subject);
        bodies.push_back(message.draft.body);
    }
    void Fail(SendFailure failure, int times = 1) {
        for (int i = 0; i < times; ++i) script.push_back(SendOutcome::Failed(failure, "words"));
    }
    std::vector<std::string> Delivered() {
        std::lock_guard<std::mutex> lock(mutex);
        return delivered;
    }
};

const SendFailure kTimeOut{SendFailureKind::TimedOut, 0};
const SendFailure kRefused{SendFailureKind::SmtpReply, 550};

class Outbox : public ::testing::Test {
protected:
    Outbox() {
        const auto tag = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = fs::temp_directory_path() / ("veltrano-outbox-" + std::to_string(tag));
        file_ = folder_ / "Veltrano" / "history.db";
        Restart();
    }
    ~Outbox() override {
        round_.reset();
        store_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    // A new run of the program: a fresh store and round on the same file.
    void Restart() {
        round_.reset();
        store_ = std::make_unique<OutboxStore>(OutboxStoreOptions{file_}, Sink());
        ASSERT_TRUE(store_->Open());
        round_ = std::make_unique<OutboxRound>(*store_, OutboxChannels{{"mail", &mail_}, {"hook", &hook_}}, clock_,
                                               format_, Sink());
    }
    OutboxLogLine Sink() {
        return [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(linesMutex_);
            lines_.push_back(line);
        };
    }
    int64_t Add(const std::string& channel, const std::string& subject) {
        const auto id = store_->Add({channel, "id." + subject, clock_.utc, kOffset, subject, "Body of " + subject});
        EXPECT_TRUE(id);
        return id.value_or(0);
    }
    int Run(int hours = kOutboxHoursDefault) {
        return round_->Run(hours, [] { return false; });
    }
    int64_t Query(const std::string& sql) { return SqliteDb(file_).Integer(sql); }

    fs::path folder_, file_;
    UtcClock clock_;
    FixedFormat format_;
    FakeServer mail_, hook_;
    std::mutex linesMutex_;
    std::vector<std::string> lines_;
    std::unique_ptr<OutboxStore> store_;
    std::unique_ptr<OutboxRound> round_;
};

using Subjects = std::vector<std::string>;

TEST_F(Outbox, AFailingHeadHoldsItsChannelAndNoOther) {
    Add("mail", "m1");
    Add("hook", "h1");
    Add("mail", "m2");
    Add("hook", "h2");
    mail_.Fail(kTimeOut, 2);
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(hook_.Delivered(), (Subjects{"h1", "h2"}));
    EXPECT_EQ(mail_.handed, (Subjects{"m1"}));
    EXPECT_EQ(store_->WaitingCount(), 2);
    EXPECT_EQ(store_->NextTryUtc(), kStart + 30);

    clock_.utc += 29;  // not yet due
    EXPECT_EQ(Run(), 0);
    clock_.utc += 1;
    EXPECT_EQ(Run(), 0);  // the second failure: a minute more
    EXPECT_EQ(store_->NextTryUtc(), kStart + 90);
    clock_.utc += 60;
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(mail_.Delivered(), (Subjects{"m1", "m2"}));
    EXPECT_EQ(mail_.handed, (Subjects{"m1", "m1", "m1", "m2"}));
    EXPECT_EQ(store_->WaitingCount(), 0);
    EXPECT_EQ(Query("SELECT attempts FROM outbox WHERE subject = 'm1' AND state = 'sent'"), 2);
    EXPECT_EQ(lines_.size(), 1u);  // the first failure only
    EXPECT_NE(lines_[0].find("\"m1\" (mail) not sent (timed out: words)"), std::string::npos) << lines_[0];
}

TEST_F(Outbox, ARefusalIsLoggedOnceAndLetsTheNextGo) {
    Add("mail", "m1");
    Add("mail", "m2");
    mail_.Fail(kRefused);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(mail_.Delivered(), (Subjects{"m2"}));
    clock_.utc += 7200;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(mail_.handed, (Subjects{"m1", "m2"}));
    EXPECT_EQ(Query("SELECT count(*) FROM outbox WHERE subject = 'm1' AND state = 'refused'"
                    " AND last_error = 'SMTP 550: words'"),
              1);
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_NE(lines_[0].find("refused (SMTP 550: words); not sent"), std::string::npos) << lines_[0];
}

// A message failing without end is tried until Outbox Hours are over; one
// found past them after a long stop goes without a try.
TEST_F(Outbox, WhatIsNotSentWithinOutboxHoursIsGivenUp) {
    Add("mail", "m1");
    mail_.Fail(kTimeOut, 1000);
    for (int pass = 0; pass < 100 && store_->NextTryUtc(); ++pass) {
        clock_.utc = std::max<int64_t>(clock_.utc, *store_->NextTryUtc());
        Run(2);
    }
    EXPECT_EQ(store_->WaitingCount(), 0);
    EXPECT_EQ(mail_.handed.size(), 1u + 6u + 1u);  // the schedule's first hour, then one hourly
    EXPECT_LT(clock_.utc, kStart + 2 * 3600);
    EXPECT_EQ(Query("SELECT count(*) FROM outbox WHERE state = 'expired' AND last_error = 'timed out: words'"), 1);

    Add("hook", "h1");
    clock_.utc += 48 * 3600;
    Restart();
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(hook_.handed.empty());
    EXPECT_EQ(Query("SELECT count(*) FROM outbox WHERE state = 'expired'"), 2);
    EXPECT_NE(lines_.back().find("1 alert(s) not sent within Outbox Hours"), std::string::npos) << lines_.back();
}

// Queued, then the program ends before the send: the next run sends it once,
// saying when it was written; what this run writes goes without the note.
TEST_F(Outbox, WhatWasQueuedIsSentOnceAfterARestart) {
    Add("mail", "old");
    clock_.utc += 600;
    Restart();
    Add("mail", "new");
    EXPECT_EQ(store_->WaitingCount(), 2);
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(mail_.Delivered(), (Subjects{"old", "new"}));
    EXPECT_EQ(mail_.bodies[0], "Body of old\n\nWritten at " + DateTimeText(LocalTimeAt(kStart, kOffset), format_) +
                                   ".");
    EXPECT_EQ(mail_.bodies[1], "Body of new");
    Restart();
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(mail_.handed.size(), 2u);
}

// The server took the message and the program died before marking it: the
// next run hands it on again under the same id, which the server drops. An
// unclear failure (a time-out after the data went out) does the same.
TEST_F(Outbox, AResendAfterTheServerTookItCarriesTheSameId) {
    Add("mail", "m1");
    mail_.acceptThenCrash = true;
    EXPECT_THROW(Run(), std::runtime_error);
    mail_.acceptThenCrash = false;
    Restart();
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(mail_.handed, (Subjects{"m1", "m1"}));
    EXPECT_EQ(mail_.Delivered(), (Subjects{"m1"}));

    Add("hook", "h1");
    hook_.script.push_back(SendOutcome::Failed(kTimeOut));
    hook_.Accept({0, {"hook", "id.h1", 0, 0, "h1", ""}, 0, false});  // it went out all the same
    EXPECT_EQ(Run(), 0);
    clock_.utc += 30;
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(hook_.handed.size(), 2u);
    EXPECT_EQ(hook_.delivered.size(), 1u);
    EXPECT_EQ(store_->WaitingCount(), 0);
}

TEST_F(Outbox, AMessageIdIsTakenOnceAndAChannelWithoutSenderWaits) {
    Add("mail", "m1");
    EXPECT_FALSE(store_->Add({"mail", "id.m1", kStart, 0, "again", ""}));
    Add("ntfy", "n1");
    Add("ntfy", "n2");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(store_->WaitingCount(), 2);
    EXPECT_EQ(std::count_if(lines_.begin(), lines_.end(),
                            [](const std::string& line) { return line.find("no sender") != std::string::npos; }),
              1);
    EXPECT_TRUE(store_->Open());  // a failed insert does not close the file for good
}

TEST_F(Outbox, TheSchemaStepAddsTheOutboxToAnOlderFile) {
    store_.reset();
    round_.reset();
    {
        SqliteDb db(file_);
        db.Exec("INSERT INTO minute_rows (minute, utc_offset) VALUES (1800000000, 60);"
                "DROP TABLE outbox; PRAGMA user_version = 5");
    }
    Restart();
    EXPECT_EQ(Query("PRAGMA user_version"), 6);
    EXPECT_EQ(Query("SELECT count(*) FROM minute_rows"), 1);
    EXPECT_EQ(Query("SELECT count(*) FROM pragma_table_info('outbox') WHERE name IN ('id', 'channel', 'message_id',"
                    " 'created', 'utc_offset', 'subject', 'body', 'attempts', 'next_try', 'last_error', 'state')"),
              11);
    EXPECT_THROW(SqliteDb(file_).Exec("INSERT INTO outbox (channel, message_id, created, utc_offset, next_try, state)"
                                      " VALUES ('mail', 'x', 0, 0, 0, 'sending')"),
                 SqliteError);
}

// The history's writer and the outbox open the same new file at once: one
// migrates it, the other finds it migrated, and no step is made twice. The
// outbox waits out a lock SQLite will not wait for; the history's writer may
// meet it once and open at its next write.
TEST_F(Outbox, TwoConnectionsMigratingAtOnceBothOpen) {
    store_.reset();
    round_.reset();
    const IClock& clock = clock_;
    for (int round = 0; round < 20; ++round) {
        const fs::path file = folder_ / ("race-" + std::to_string(round) + ".db");
        HistoryStore history({file, std::chrono::milliseconds(2000), std::nullopt}, clock, Sink());
        OutboxStore outbox({file}, Sink());
        bool historyOpened = false;
        std::thread other([&] { historyOpened = history.Open(); });
        EXPECT_TRUE(outbox.Open()) << "round " << round;
        other.join();
        EXPECT_TRUE(historyOpened || history.Open()) << "round " << round;
        EXPECT_EQ(SqliteDb(file).Integer("PRAGMA user_version"), 6);
    }
    for (const std::string& line : lines_) EXPECT_EQ(line.find("already exists"), std::string::npos) << line;
}

// The thread: a message added and woken goes at once; stopping joins it,
// leaving what still fails to the next start.
TEST_F(Outbox, TheSenderThreadSendsWhenWokenAndStopsWithinItsBound) {
    OutboxSender sender(*store_, {{"mail", &mail_}, {"hook", &hook_}}, clock_, format_, Sink(),
                        {kOutboxHoursDefault, std::chrono::minutes(10)});
    Add("mail", "m1");
    hook_.Fail(kTimeOut);
    Add("hook", "h1");
    sender.Wake();
    for (int i = 0; i < 500 && mail_.Delivered().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(mail_.Delivered(), (Subjects{"m1"}));
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(sender.Stop(std::chrono::milliseconds(50)), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    EXPECT_EQ(sender.Stop(), 1);  // a second stop is harmless
}

// A send that hangs (a server that took the connection and went silent) is
// abandoned once the stop's bound is over; the message waits for next time.
TEST_F(Outbox, StoppingAbandonsASendThatHangs) {
    struct Hanging : IOutboxChannel {
        std::mutex mutex;
        std::condition_variable abandoned;
        bool entered = false, gone = false;
        SendOutcome Send(const OutboxMessage&) override {
            std::unique_lock<std::mutex> lock(mutex);
            entered = true;
            abandoned.wait_for(lock, std::chrono::seconds(30), [this] { return gone; });
            return SendOutcome::Failed(kTimeOut);
        }
        void Abandon() override {
            std::lock_guard<std::mutex> lock(mutex);
            gone = true;
            abandoned.notify_all();
        }
    } hanging;
    std::atomic<int> passes{0};
    OutboxSender sender(*store_, {{"mail", &hanging}}, clock_, format_, Sink(),
                        {kOutboxHoursDefault, std::chrono::minutes(10), [&] { ++passes; }});
    Add("mail", "m1");
    sender.Wake();
    const auto entered = [&] {
        std::lock_guard<std::mutex> lock(hanging.mutex);
        return hanging.entered;
    };
    for (int i = 0; i < 500 && !entered(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(entered());
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(sender.Stop(std::chrono::milliseconds(100)), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    EXPECT_GE(passes.load(), 1);
}

}  // namespace
}  // namespace velt
