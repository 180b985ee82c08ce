#pragma once
// The one way in to Boost.Asio for the transports. Boost 1.74's Asio under
// mingw in C++20 mode needs <utility> before it.
#include <utility>

#include <boost/asio.hpp>
