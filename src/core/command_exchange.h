#pragma once
// One command and its reply, over HID or serial. Two variants share the
// transactions: the worker's poll exchange (filtered reply stored in the link,
// nothing logged) and ExchangeCommand (raw reply to the caller, I/O failures
// logged). The caller holds the data lock.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/event_sink.h"
#include "core/ups_link.h"
#include "sys/clock.h"

namespace velt {

constexpr size_t kCollectBufferSize = 256;
constexpr unsigned kAfterWritePauseMs = 500;
constexpr unsigned kHidSilenceMs = 500;
constexpr unsigned kHidWriteWaitMs = 500;
constexpr size_t kUsualHidReportLength = 9;
constexpr unsigned kSerialWaitMs = 2000;
constexpr unsigned kPollInputBuffers = 12;
constexpr unsigned kCommandInputBuffers = 1;

// Keeps bytes 0x01..0x7F, turns the first CR into "#" and stops there, and
// keeps at most 255 characters.
std::string FilterReply(std::string_view raw);

// An output report of `length` bytes: id 0, the command's characters (as many
// as fit), zero filler. A length of 0 (capabilities unknown) gives the usual 9.
std::vector<uint8_t> BuildHidReport(std::string_view command, size_t length);

// Runs the worker's status query; true when the poll succeeded. Stores
// ReplyText/ReplyTime in the link as the transport's rule says.
bool PollExchange(TUPSLink& link, std::string_view query, ISleeper& sleeper, const IClock& clock);

// Sends any other command on the main thread and gives the raw reply (empty on
// failure or silence).
std::string ExchangeCommand(TUPSLink& link, std::string_view command, ISleeper& sleeper,
                            ILogSink& log);

}  // namespace velt
