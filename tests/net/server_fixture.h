#pragma once
// What the network servers' fixtures share: whole output lines, and the start
// that tells the Python tests the port (or that there is none).
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace velt::test {

// From any thread, as one line, flushed at once for the test reading it.
inline void PrintLine(const std::string& line) {
    static std::mutex printing;
    std::lock_guard lock(printing);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// For a command line the fixture cannot read: the options it takes, and its
// exit code.
inline int Usage(const char* program, const std::string& options) {
    std::fprintf(stderr, "usage: %s %s\n", program, options.c_str());
    return 1;
}

// Prints "ready port=N " and the fixture's `settings` once the server
// listens, "bind failed" when it cannot.
template <class Server>
bool StartAndAnnounce(Server& server, uint16_t port, const std::string& settings) {
    if (server.Start(port) != Server::StartResult::Listening) {
        PrintLine("bind failed");
        return false;
    }
    PrintLine("ready port=" + std::to_string(server.Port()) + " " + settings);
    return true;
}

}  // namespace velt::test
