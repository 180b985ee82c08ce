#pragma once
// The lines another process appends to its log file, taken a piece at a
// time: a line is given once its end has come; a file that became shorter
// was moved aside and started again, and is read from its start.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class LogTail {
public:
    // A first look shows at most the last `backlog` bytes, from a line's start.
    explicit LogTail(uint64_t backlog) : backlog_(backlog) {}

    // Where to read from in a file of `size` bytes now.
    uint64_t ReadFrom(uint64_t size);
    // The bytes read from there; gives the lines they complete, without CR LF.
    std::vector<std::string> Take(std::string_view bytes);

private:
    uint64_t backlog_;
    uint64_t offset_ = 0;
    bool started_ = false;
    bool skipToLineStart_ = false;
    std::string partial_;
};

}  // namespace velt
