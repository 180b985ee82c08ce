#include "reports/log_tail.h"

#include <gtest/gtest.h>

namespace velt::test {
namespace {

using Lines = std::vector<std::string>;

// Reads `file` as it stands through the tail, as the window's tick does.
Lines Poll(LogTail& tail, const std::string& file) {
    const uint64_t from = tail.ReadFrom(file.size());
    return tail.Take(std::string_view(file).substr(from));
}

// A line shows once, whole, when its end has come; a first look starts at a
// line's start within the backlog; a rotated file is read from its start.
TEST(LogTail, GivesEachLineOnceWholeAndFollowsARotation) {
    LogTail tail(16);
    std::string file = "old line one\r\nold line two\r\npart";
    EXPECT_EQ(Poll(tail, file), Lines{});  // the backlog starts inside "old line two"
    file += "ial\r\n";
    EXPECT_EQ(Poll(tail, file), Lines{"partial"});
    EXPECT_EQ(Poll(tail, file), Lines{});
    file += "a\r\nb";
    EXPECT_EQ(Poll(tail, file), Lines{"a"});

    file = "new\r\n";  // moved aside: shorter than what was read
    EXPECT_EQ(Poll(tail, file), Lines{"new"});

    LogTail whole(1024);
    EXPECT_EQ(Poll(whole, "x\r\ny\r\n"), (Lines{"x", "y"}));
}

}  // namespace
}  // namespace velt::test
