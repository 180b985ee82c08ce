#pragma once
// A client of a NUT server elsewhere (RFC 9271, the upsd line protocol): it
// logs in to one UPS and reads its variables. Blocking calls for one worker
// thread, each bounded by its own limit; Abandon ends a call from any thread.
// A server that stalls, floods, closes midway or talks nonsense costs at most
// one limit and gives an error text; nothing throws to the caller.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "status/nut_reading.h"

namespace velt {

struct NutClientLimits {
    std::chrono::milliseconds connect{3000};  // name lookup and connection together
    std::chrono::milliseconds reply{5000};    // a request written and its whole reply read
    std::chrono::milliseconds logout{1000};   // LOGOUT and its reply, before the close
    // What a hostile server may make us hold.
    size_t lineBytes = 4096;
    size_t listLines = 1000;
    size_t listBytes = 256 * 1024;
};

// Why a call failed, in one line for the log ("connect: timed out",
// "ERR ACCESS-DENIED", "server closed the connection"); empty when it did not.
struct NutClientResult {
    std::string error;

    bool Ok() const { return error.empty(); }
};

struct NutListing {
    NutVariableTable variables;
    std::string error;  // as NutClientResult's; the variables are empty with one

    bool Ok() const { return error.empty(); }
};

// The instant commands a UPS offers (LIST CMD).
struct NutCommandList {
    std::set<std::string> commands;
    std::string error;

    bool Ok() const { return error.empty(); }
};

class NutClient {
public:
    explicit NutClient(NutClientLimits limits = {});
    // A name lookup still running is waited for: the system resolver cannot
    // be stopped, only outlived (its own time-outs bound it).
    ~NutClient();
    NutClient(const NutClient&) = delete;
    NutClient& operator=(const NutClient&) = delete;

    // Closes any connection first. Any failure below, but an "ERR" answer,
    // closes the connection: what it would say next cannot be trusted.
    NutClientResult Connect(const std::string& host, uint16_t port);
    // USERNAME, PASSWORD and LOGIN, each answered "OK"; nothing is sent
    // while `user` is empty (reading needs no login).
    // Without `attach`, no LOGIN: the server does not count this client as
    // one to wait for before a shutdown, and its instant commands still work.
    NutClientResult Login(const std::string& user, const std::string& password, const std::string& upsName,
                          bool attach = true);
    NutListing ListVar(const std::string& upsName);
    NutCommandList ListCmd(const std::string& upsName);
    // INSTCMD, answered "OK"; a refusal gives the server's error ("ERR ACCESS-DENIED").
    NutClientResult InstCmd(const std::string& upsName, const std::string& command);
    // LOGOUT within its limit, then the close, whatever the answer.
    void Logout();
    bool Connected() const;

    // From any thread: the call under way returns promptly, and so does
    // every later one, with an error.
    void Abandon();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velt
