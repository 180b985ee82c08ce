#include "net/tcp_server.h"

#include <utility>

namespace velt {

TcpServer::~TcpServer() { Stop(); }

TcpServer::StartResult TcpServer::Start(uint16_t port, ListenScope scope) {
    Stop();
    auto next = NewRun();
    if (!next->Start(port, scope)) return StartResult::BindFailed;
    run_ = std::move(next);
    scope_ = scope;
    return StartResult::Listening;
}

void TcpServer::Stop() { run_.reset(); }

bool TcpServer::Active() const { return run_ != nullptr; }

uint16_t TcpServer::Port() const { return run_ ? run_->Port() : 0; }

}  // namespace velt
