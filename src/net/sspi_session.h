#pragma once
// A TLS client session as Schannel runs one: the handshake loop, records
// sealed and opened, and the checks once the handshake is done, all through
// a table of SSPI calls. The Windows program passes secur32's; tests script one.
#include <memory>

#include "net/sspi_table.h"
#include "net/tls_session.h"

namespace velt {

std::unique_ptr<ITlsSession> SspiSession(std::unique_ptr<ISspiTable> table);

}  // namespace velt
