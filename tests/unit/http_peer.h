#pragma once
// An HTTP server on loopback for the HTTP client's tests: it takes one
// request at a time, keeps its bytes, and gives the answer it was made with,
// or closes without one, or never answers (until it is destroyed).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velt::test {

class HttpPeer {
public:
    enum class Then { Answer, Close, Silence };

    explicit HttpPeer(std::string answer, Then then = Then::Answer) : answer_(std::move(answer)), then_(then) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 4);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~HttpPeer() {
        stop_ = true;
        thread_.join();
        for (const int held : held_) close(held);
        close(listener_);
    }
    HttpPeer(const HttpPeer&) = delete;
    HttpPeer& operator=(const HttpPeer&) = delete;

    std::string Url(const std::string& path = "/") const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    int Port() const { return port_; }

    // The bytes of the next whole request received, waited for 2 s at most.
    std::string Received() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(2), [this] { return !requests_.empty(); });
        if (requests_.empty()) return {};
        std::string request = std::move(requests_.front());
        requests_.erase(requests_.begin());
        return request;
    }

private:
    // Waits for `fd` to be readable while the peer runs.
    bool Readable(int fd) {
        while (!stop_) {
            pollfd ready{fd, POLLIN, 0};
            if (poll(&ready, 1, 20) > 0) return true;
        }
        return false;
    }

    // The head and as many body bytes as Content-Length says.
    static bool Whole(const std::string& request) {
        const size_t end = request.find("\r\n\r\n");
        if (end == std::string::npos) return false;
        const size_t at = request.find("Content-Length: ");
        const size_t length = at < end ? std::stoul(request.substr(at + 16)) : 0;
        return request.size() >= end + 4 + length;
    }

    void Serve() {
        while (Readable(listener_)) {
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            std::string request;
            char chunk[4096];
            ssize_t got = 0;
            while (!Whole(request) && Readable(client) && (got = read(client, chunk, sizeof chunk)) > 0)
                request.append(chunk, static_cast<size_t>(got));
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            changed_.notify_all();
            if (then_ == Then::Silence) {
                held_.push_back(client);
                continue;
            }
            if (then_ == Then::Answer) (void)!write(client, answer_.data(), answer_.size());
            close(client);
        }
    }

    std::string answer_;
    Then then_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::vector<int> held_;  // the silent peer's connections, closed at the end
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace velt::test
