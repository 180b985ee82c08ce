#include "net/deadline_io.h"

#include <array>

namespace velt {

bool DeadlineIo::Await(const std::shared_ptr<IoOpResult>& op, Clock::time_point deadline) {
    io.restart();
    while (!op->done && !abandoned && Clock::now() < deadline) io.run_one_until(deadline);
    if (op->done) return true;
    boost::system::error_code ignored;
    resolver.cancel();
    socket.cancel(ignored);
    cutShort = op;
    return false;
}

namespace {

// The first of `endpoints` that takes the connection, within the deadline.
template <typename Endpoints>
bool ConnectToAny(DeadlineIo& net, const Endpoints& endpoints, DeadlineIo::Clock::time_point deadline,
                  boost::system::error_code& error) {
    auto connected = std::make_shared<IoOpResult>();
    boost::asio::async_connect(net.socket, endpoints, DeadlineIo::Completion(connected));
    if (!net.Await(connected, deadline)) return false;
    error = connected->error;
    return true;
}

}  // namespace

// An address needs no lookup: the lookup would start the resolver's own
// thread, which then stays as long as the client does.
bool DeadlineIo::Connect(const std::string& host, uint16_t port, Clock::time_point deadline,
                         boost::system::error_code& error) {
    using boost::asio::ip::tcp;
    boost::system::error_code notAnAddress;
    const auto address = boost::asio::ip::make_address(host, notAnAddress);
    if (!notAnAddress) return ConnectToAny(*this, std::array{tcp::endpoint(address, port)}, deadline, error);
    auto resolved = std::make_shared<IoOpResult>();
    resolver.async_resolve(host, std::to_string(port), tcp::resolver::numeric_service,
                           [resolved](const boost::system::error_code& e, tcp::resolver::results_type endpoints) {
                               resolved->done = true;
                               resolved->error = e;
                               resolved->endpoints = std::move(endpoints);
                           });
    if (!Await(resolved, deadline)) return false;
    error = resolved->error;
    if (error) return true;
    return ConnectToAny(*this, resolved->endpoints, deadline, error);
}

std::shared_ptr<IoOpResult> DeadlineIo::ReadSome(char* buffer, std::size_t size) {
    auto op = std::make_shared<IoOpResult>();
    socket.async_read_some(boost::asio::buffer(buffer, size), [op](const boost::system::error_code& error, std::size_t count) {
        op->done = true;
        op->error = error;
        op->bytes = count;
    });
    return op;
}

}  // namespace velt
