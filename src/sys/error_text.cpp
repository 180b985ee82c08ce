#include "sys/error_text.h"

#include <cstdio>

namespace velt {

std::string TrimSystemErrorText(std::string text) {
    if (text.size() > 255) text.resize(255);
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text.back());
        if (c > 32 && c != '.') break;
        text.pop_back();
    }
    return text;
}

std::string OperationErrorText(const std::string& operation, unsigned long code, const std::string& message) {
    char number[24];
    std::snprintf(number, sizeof number, "(0x%08lX) ", code);
    return operation + ": " + number + TrimSystemErrorText(message);
}

}  // namespace velt
