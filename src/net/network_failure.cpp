#include "net/network_failure.h"

#include <initializer_list>

namespace velt {

namespace {

namespace error = boost::asio::error;

template <typename Code>
bool AnyOf(const boost::system::error_code& code, std::initializer_list<Code> codes) {
    for (const Code c : codes)
        if (code == c) return true;
    return false;
}

}  // namespace

SendFailure NetworkFailure(const boost::system::error_code& code) {
    if (AnyOf(code, {error::host_not_found, error::host_not_found_try_again, error::no_data, error::no_recovery}))
        return {SendFailureKind::NameNotResolved};
    if (code == error::connection_refused) return {SendFailureKind::ConnectionRefused};
    if (code == error::eof) return {SendFailureKind::ConnectionReset};
    if (AnyOf(code, {error::connection_reset, error::connection_aborted, error::broken_pipe, error::not_connected,
                     error::shut_down}))
        return {SendFailureKind::ConnectionReset};
    if (AnyOf(code, {error::host_unreachable, error::network_unreachable, error::network_down}))
        return {SendFailureKind::NoRoute};
    if (code == error::timed_out) return {SendFailureKind::TimedOut};
    return {SendFailureKind::Other};
}

}  // namespace velt
