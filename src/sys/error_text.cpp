#include "sys/error_text.h"

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

}  // namespace velt
