#include "reports/log_tail.h"

namespace velt {

uint64_t LogTail::ReadFrom(uint64_t size) {
    if (!started_) {
        started_ = true;
        offset_ = size > backlog_ ? size - backlog_ : 0;
        skipToLineStart_ = offset_ != 0;
    } else if (size < offset_) {
        offset_ = 0;
        partial_.clear();
        skipToLineStart_ = false;
    }
    return offset_;
}

std::vector<std::string> LogTail::Take(std::string_view bytes) {
    offset_ += bytes.size();
    std::vector<std::string> lines;
    for (char c : bytes) {
        if (c != '\n') {
            if (!skipToLineStart_ && c != '\r') partial_ += c;
            continue;
        }
        if (!skipToLineStart_) lines.push_back(std::move(partial_));
        partial_.clear();
        skipToLineStart_ = false;
    }
    return lines;
}

}  // namespace velt
