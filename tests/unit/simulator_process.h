#pragma once
// Starts the UPS simulator on a pty for native tests and stops it again.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace velt::test {

class SimulatorProcess {
public:
    explicit SimulatorProcess(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<std::string> argv{"/usr/bin/python3", VELTRANO_SOURCE_DIR "/tools/upssim.py"};
            argv.insert(argv.end(), args.begin(), args.end());
            std::vector<char*> raw;
            for (auto& a : argv) raw.push_back(a.data());
            raw.push_back(nullptr);
            execv(raw[0], raw.data());
            _exit(127);
        }
        close(out[1]);
        ReadReadyLine(out[0]);
        close(out[0]);
    }
    ~SimulatorProcess() {
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
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    const std::string& PtyPath() const { return pty_; }

private:
    void ReadReadyLine(int fd) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char c;
        while (std::chrono::steady_clock::now() < deadline) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(fd, &set);
            timeval tv{0, 100000};
            if (select(fd + 1, &set, nullptr, nullptr, &tv) <= 0) continue;
            if (read(fd, &c, 1) != 1) break;
            if (c == '\n') break;
            line.push_back(c);
        }
        if (line.rfind("READY ", 0) == 0) pty_ = line.substr(6);
    }

    pid_t pid_ = -1;
    std::string pty_;
};

}  // namespace velt::test
