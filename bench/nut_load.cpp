// A load client for NUT servers: N connections on loopback, each sending one
// request line and waiting for its whole reply before the next, for a fixed
// time after a warm-up. Prints one line:
//   rate=R p50_us=L p99_us=L replies=N errors=N reply_bytes=B total=N
// (replies per second over the measured time; an error is a reply starting
// with "ERR"; reply_bytes is the last reply's size; total counts the
// warm-up's replies too).
//
// Usage: nut_load --port N [--connections 16] [--duration 5] [--warmup 1]
//                 [--ups ups] [--var input.voltage] [--list]
// --list sends LIST VAR and reads up to "END LIST"; otherwise GET VAR.
//
// Linux only (epoll), one thread: kept lean so that it is not what limits
// the server it measures.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
    uint16_t port = 0;
    int connections = 16;
    double duration = 5, warmup = 1;
    std::string ups = "ups", var = "input.voltage";
    bool list = false;
};

int64_t NowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "nut_load: %s: %s\n", what.c_str(), errno ? std::strerror(errno) : "failed");
    std::exit(1);
}

// A connected, non-blocking socket with Nagle off, like the clients of a
// line protocol use, from 127.0.0.(1 + n % 250): servers may bound the
// connections from one address.
int Connect(uint16_t port, size_t n) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) Fail("socket");
    sockaddr_in source{};
    source.sin_family = AF_INET;
    source.sin_addr.s_addr = htonl(INADDR_LOOPBACK + uint32_t(n % 250));
    if (bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) Fail("bind");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Fail("connect");
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

struct Connection {
    int fd = -1;
    int64_t sentNs = 0;
    std::string reply;
};

// The measured part: latencies of the replies to requests sent inside the
// window that arrived inside it.
struct Tally {
    int64_t from = 0, to = 0;
    std::vector<uint32_t> latencyNs;
    size_t errors = 0, replyBytes = 0, total = 0;
};

class Load {
public:
    explicit Load(const Options& options) : options_(options) {
        request_ = options.list ? "LIST VAR " + options.ups + "\n"
                                : "GET VAR " + options.ups + " " + options.var + "\n";
        epoll_ = epoll_create1(0);
        if (epoll_ < 0) Fail("epoll_create1");
        connections_.resize(size_t(options.connections));
        for (size_t i = 0; i < connections_.size(); ++i) Open(i);
    }
    ~Load() {
        for (const auto& c : connections_) close(c.fd);
        close(epoll_);
    }

    Tally Run() {
        const int64_t start = NowNs();
        tally_.from = start + int64_t(options_.warmup * 1e9);
        tally_.to = tally_.from + int64_t(options_.duration * 1e9);
        tally_.latencyNs.reserve(1 << 20);
        for (auto& c : connections_) Send(c, start);
        while (NowNs() < tally_.to) Step();
        return std::move(tally_);
    }

private:
    // The server has this long to send something while requests are out.
    static constexpr int kSilenceMs = 5000;

    void Open(size_t i) {
        connections_[i].fd = Connect(options_.port, i);
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = i;
        if (epoll_ctl(epoll_, EPOLL_CTL_ADD, connections_[i].fd, &event) != 0) Fail("epoll_ctl");
    }

    void Send(Connection& c, int64_t now) {
        c.reply.clear();
        c.sentNs = now;
        if (write(c.fd, request_.data(), request_.size()) != ssize_t(request_.size())) Fail("write");
    }

    void Step() {
        epoll_event events[64];
        const int n = epoll_wait(epoll_, events, 64, kSilenceMs);
        if (n < 0 && errno != EINTR) Fail("epoll_wait");
        if (n == 0) Fail("no reply within 5 s");
        for (int i = 0; i < n; ++i) Receive(connections_[events[i].data.u64]);
    }

    void Receive(Connection& c) {
        char buffer[65536];
        const ssize_t n = read(c.fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0) Fail("the server closed a connection");
        c.reply.append(buffer, size_t(n));
        if (!Complete(c.reply)) return;
        const int64_t now = NowNs();
        ++tally_.total;
        if (c.sentNs >= tally_.from && now <= tally_.to) Count(c, now);
        Send(c, now);
    }

    // A GET reply is one line; a LIST reply ends with its "END LIST" line,
    // unless the server refused it with one "ERR" line.
    bool Complete(const std::string& reply) const {
        if (reply.empty() || reply.back() != '\n') return false;
        if (!options_.list || reply.compare(0, 4, "ERR ") == 0) return true;
        const size_t lastLine = reply.rfind('\n', reply.size() - 2);
        const std::string_view last(reply.data() + (lastLine == std::string::npos ? 0 : lastLine + 1));
        return last.substr(0, 9) == "END LIST ";
    }

    void Count(const Connection& c, int64_t now) {
        tally_.latencyNs.push_back(uint32_t(std::min<int64_t>(now - c.sentNs, UINT32_MAX)));
        if (c.reply.compare(0, 3, "ERR") == 0) ++tally_.errors;
        tally_.replyBytes = c.reply.size();
    }

    const Options options_;
    std::string request_;
    int epoll_ = -1;
    std::vector<Connection> connections_;
    Tally tally_;
};

double PercentileUs(std::vector<uint32_t>& samples, double fraction) {
    if (samples.empty()) return 0;
    const size_t k = std::min(samples.size() - 1, size_t(fraction * double(samples.size())));
    std::nth_element(samples.begin(), samples.begin() + long(k), samples.end());
    return samples[k] / 1000.0;
}

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--list") {
            options.list = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (option == "--port") options.port = uint16_t(std::atoi(value));
        else if (option == "--connections") options.connections = std::atoi(value);
        else if (option == "--duration") options.duration = std::atof(value);
        else if (option == "--warmup") options.warmup = std::atof(value);
        else if (option == "--ups") options.ups = value;
        else if (option == "--var") options.var = value;
        else return false;
    }
    return options.port != 0 && options.connections > 0 && options.duration > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s --port N [--connections N] [--duration S] [--warmup S] [--ups NAME] "
                             "[--var NAME] [--list]\n", argv[0]);
        return 1;
    }
    Tally tally = Load(options).Run();
    const size_t replies = tally.latencyNs.size();
    const double p50 = PercentileUs(tally.latencyNs, 0.50);
    const double p99 = PercentileUs(tally.latencyNs, 0.99);
    std::printf("rate=%.0f p50_us=%.1f p99_us=%.1f replies=%zu errors=%zu reply_bytes=%zu total=%zu\n",
                double(replies) / options.duration, p50, p99, replies, tally.errors, tally.replyBytes, tally.total);
    return replies > 0 ? 0 : 1;
}
