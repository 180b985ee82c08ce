#include "core/control_chars.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

// High ANSI bytes are negative as a plain char: they are text all the same.
TEST(IsControl, TheC0CodesAndDelButNoPrintableOrHighByte) {
    const std::pair<char, bool> cases[] = {
        {'\0', true},  {'\t', true},  {'\r', true},   {'\x1F', true},  {'\x7F', true},  {' ', false},
        {'~', false},  {'A', false},  {'\x80', false}, {'\xB0', false}, {'\xFF', false},
    };
    for (const auto& [c, control] : cases)
        EXPECT_EQ(IsControl(c), control) << static_cast<int>(static_cast<unsigned char>(c));
}

}  // namespace
}  // namespace velt
