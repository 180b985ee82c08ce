#pragma once
// Runs a step that must not end its caller (a thread's top, one step of a
// sequence that goes on): what it threw becomes text for the log.
#include <exception>
#include <optional>
#include <string>

namespace velt {

// Nothing when `step` returned; else the exception's text.
template <typename Step>
std::optional<std::string> FailureOf(Step&& step) {
    try {
        step();
        return std::nullopt;
    } catch (const std::exception& e) {
        return std::string(e.what());
    } catch (...) {
        return std::string("unknown exception");
    }
}

}  // namespace velt
