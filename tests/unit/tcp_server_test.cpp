#include "net/tcp_server.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

// Runs that listen, or fail to, on any port without a socket; they note how
// many were alive as each started.
struct RunLog {
    int alive = 0;
    int aliveAtLastStart = -1;
    bool bindFails = false;
};

class FakeRun final : public ITcpServerRun {
public:
    explicit FakeRun(RunLog& log) : log_(log) { ++log_.alive; }
    ~FakeRun() override { --log_.alive; }
    bool Start(uint16_t port, ListenScope) override {
        log_.aliveAtLastStart = log_.alive;
        port_ = port;
        return !log_.bindFails;
    }
    uint16_t Port() const override { return port_; }

private:
    RunLog& log_;
    uint16_t port_ = 0;
};

class FakeServer final : public TcpServer {
public:
    explicit FakeServer(RunLog& log) : log_(log) {}

private:
    std::unique_ptr<ITcpServerRun> NewRun() override { return std::make_unique<FakeRun>(log_); }
    RunLog& log_;
};

// A port cannot be had twice: a restart must end the old run before the new
// one binds, and a failed start must leave nothing running.
TEST(TcpServer, ARunningServerStartedAgainEndsItsRunFirstAndAFailedStartLeavesItStopped) {
    RunLog log;
    {
        FakeServer server(log);
        EXPECT_FALSE(server.Active());
        EXPECT_EQ(server.Port(), 0);
        ASSERT_EQ(server.Start(3493), TcpServer::StartResult::Listening);

        ASSERT_EQ(server.Start(3494), TcpServer::StartResult::Listening);
        EXPECT_EQ(log.aliveAtLastStart, 1);  // the new run alone
        EXPECT_TRUE(server.Active());
        EXPECT_EQ(server.Port(), 3494);

        log.bindFails = true;
        EXPECT_EQ(server.Start(3495), TcpServer::StartResult::BindFailed);
        EXPECT_FALSE(server.Active());
        EXPECT_EQ(server.Port(), 0);
        EXPECT_EQ(log.alive, 0);

        log.bindFails = false;
        ASSERT_EQ(server.Start(3495), TcpServer::StartResult::Listening);
    }
    EXPECT_EQ(log.alive, 0);  // the server's end stopped its run
}

}  // namespace
}  // namespace velt
