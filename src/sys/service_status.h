#pragma once
// What the service tells the service control manager: its state, the controls
// it takes, and how long a pending step may still take. Shaped like the
// system's status record; the system's own numbers are given on its side.
#include <cstdint>

namespace velt {

// Only the states this service passes through (it never pauses).
enum class ServiceState { Stopped, StartPending, Running, StopPending };

// The controls the manager may send; none while a start or a stop runs.
struct AcceptedControls {
    bool stop = false;
    bool shutdown = false;
    bool preshutdown = false;
    bool powerEvent = false;
    bool paramChange = false;
    bool operator==(const AcceptedControls&) const = default;
};

struct ServiceStatus {
    ServiceState state = ServiceState::Stopped;
    AcceptedControls controls;
    // The longest the manager should wait for the next report of a pending
    // state before it counts the service as hung; 0 outside pending states.
    uint32_t waitHintMs = 0;
    // Rises with every report of the same pending step; 0 outside them.
    uint32_t checkPoint = 0;
    // Why a stopped service ended: a system error code, or (when not 0) a
    // code of the service's own, which the system side reports as such.
    uint32_t win32ExitCode = 0;
    uint32_t serviceExitCode = 0;
    bool operator==(const ServiceStatus&) const = default;
};

class IServiceStatusSink {
public:
    virtual ~IServiceStatusSink() = default;
    // False when the manager did not take it. Callers serialise their reports,
    // so the check points it sees never go back.
    virtual bool Report(const ServiceStatus& status) = 0;
};

}  // namespace velt
