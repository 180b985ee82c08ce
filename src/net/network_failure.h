#pragma once
// The kind of a network fault, as the outbox tells failures apart: what the
// system said about a name lookup, a connection, a read or a write.
#include "net/asio.h"
#include "reports/outbox_failure.h"

namespace velt {

// NameNotResolved, ConnectionRefused, ConnectionReset (a reset, an abort or
// the peer's close), NoRoute, TimedOut (the system's own time-out); Other
// for the rest.
SendFailure NetworkFailure(const boost::system::error_code& error);

}  // namespace velt
