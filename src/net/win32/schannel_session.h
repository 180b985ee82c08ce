#pragma once
// TLS through Windows' own Schannel, for the SMTP and HTTP clients. Schannel
// is told to leave the server's certificate alone (Wine's checks nothing);
// the session checks the chain and the name itself once the handshake is done.
#include "net/tls_session.h"

namespace velt::win {

// Sessions of TLS 1.2 or later; the server name goes out as SNI.
TlsSessionFactory SchannelSessionFactory();

}  // namespace velt::win
