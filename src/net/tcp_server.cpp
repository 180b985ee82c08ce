#include "net/tcp_server.h"

#include <utility>

namespace velt {

TTcpServer::~TTcpServer() { Stop(); }

TTcpServer::StartResult TTcpServer::Start(uint16_t port) {
    Stop();
    auto next = NewRun();
    if (!next->Start(port)) return StartResult::BindFailed;
    run_ = std::move(next);
    return StartResult::Listening;
}

void TTcpServer::Stop() { run_.reset(); }

bool TTcpServer::Active() const { return run_ != nullptr; }

uint16_t TTcpServer::Port() const { return run_ ? run_->Port() : 0; }

}  // namespace velt
