// Reads put off to the end of the next turn: never in the turn that parked
// them, after the handlers queued meanwhile, one end posted at a time, and
// nothing held once the run is over.
#include "net/put_off_reads.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {
namespace {

struct FakeConnection {
    std::vector<std::string>& log;
    std::string name;
    int parksAgain = 0;  // parks itself again from its ReadAgain this many times
    std::function<void(std::shared_ptr<FakeConnection>)> park{};
    std::weak_ptr<FakeConnection> self{};

    void ReadAgain() {
        log.push_back(name + " reads");
        if (parksAgain-- > 0) park(self.lock());
    }
};

struct Rig {
    boost::asio::io_context io{1};
    std::vector<std::string> log;
    PutOffReads<FakeConnection> reads{[this] { log.push_back("turn ends"); }};

    std::shared_ptr<FakeConnection> Connection(std::string name, int parksAgain = 0) {
        auto c = std::make_shared<FakeConnection>(FakeConnection{log, std::move(name), parksAgain});
        c->park = [this](std::shared_ptr<FakeConnection> again) { Park(std::move(again)); };
        c->self = c;
        return c;
    }
    void Park(std::shared_ptr<FakeConnection> c) {
        log.push_back(c->name + " parks");
        reads.Park(std::move(c), io.get_executor());
    }
};

TEST(PutOffReads, AReadStartsAtTheEndOfTheNextTurnAfterTheHandlersQueuedMeanwhile) {
    Rig r;
    auto a = r.Connection("a"), b = r.Connection("b");
    const std::weak_ptr<FakeConnection> aHeld = a, bHeld = b;
    boost::asio::post(r.io, [&] {
        r.Park(std::move(a));
        EXPECT_TRUE(r.reads.TurnOpen());
        boost::asio::post(r.io, [&] { r.Park(std::move(b)); });
    });
    r.io.run();
    EXPECT_EQ(r.log, (std::vector<std::string>{"a parks", "turn ends", "b parks", "turn ends", "a reads",
                                               "turn ends", "b reads"}));
    EXPECT_FALSE(r.reads.TurnOpen());
    EXPECT_TRUE(aHeld.expired() && bHeld.expired());
}

// A real connection's next read completes later, but one parked from
// ReadAgain itself must neither post a second end nor read twice in a turn.
TEST(PutOffReads, AConnectionParkedFromItsOwnReadWaitsLikeAnyOther) {
    Rig r;
    auto a = r.Connection("a", 2);
    const std::weak_ptr<FakeConnection> held = a;
    boost::asio::post(r.io, [&] { r.Park(std::move(a)); });
    r.io.run();
    EXPECT_EQ(r.log, (std::vector<std::string>{"a parks", "turn ends", "turn ends", "a reads", "a parks",
                                               "turn ends", "turn ends", "a reads", "a parks", "turn ends",
                                               "turn ends", "a reads"}));
    EXPECT_TRUE(held.expired());
}

}  // namespace
}  // namespace velt
