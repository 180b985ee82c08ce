#pragma once
// A Python script run as a child process by native tests: its output read a
// line at a time with a time limit, and a bounded stop.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace velt::test {

class PythonChild {
public:
    PythonChild(const std::string& script, const std::vector<std::string>& args) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<std::string> argv{"/usr/bin/python3", script};
            argv.insert(argv.end(), args.begin(), args.end());
            std::vector<char*> raw;
            for (auto& a : argv) raw.push_back(a.data());
            raw.push_back(nullptr);
            execv(raw[0], raw.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
    }
    ~PythonChild() {
        if (out_ >= 0) close(out_);
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        // Bounded: give it two seconds, then make sure.
        for (int i = 0; i < 200; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
            usleep(10000);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    PythonChild(const PythonChild&) = delete;
    PythonChild& operator=(const PythonChild&) = delete;

    // The next line the child wrote, without its LF; nothing when no whole
    // line came within `limit` or the child closed its output.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto end = pending_.find('\n');
            if (end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (out_ < 0 || left.count() <= 0) return std::nullopt;
            pollfd ready{out_, POLLIN, 0};
            if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
            char chunk[4096];
            const ssize_t got = read(out_, chunk, sizeof chunk);
            if (got <= 0) return std::nullopt;
            pending_.append(chunk, static_cast<size_t>(got));
        }
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
};

}  // namespace velt::test
