#pragma once
// The other computers this UPS powers, as the power-fail action sees them:
// before this computer goes down, they are told to shut down and given time
// to log out. Main thread only.
namespace velt {

class IPeerShutdown {
public:
    virtual ~IPeerShutdown() = default;
    // Returns once every peer has gone or the wait set for them has passed;
    // at once when no peers are served. Window messages run meanwhile.
    virtual void ShutDownPeers() = 0;
    // The mains are back after a suspend or hibernation: peers that come up
    // again must not be told to shut down at once.
    virtual void CancelPeerShutdown() = 0;
};

}  // namespace velt
