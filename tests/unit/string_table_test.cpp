// The list the STRINGTABLE is built from: what the resource compiler would
// refuse, or store as something else than meant, fails here first.
#include "ui/string_ids.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace velt::ui {
namespace {

// UTF-8 pasted into the list would show as two or three Windows-1252
// characters ("\xC2\xB0" as "Â°"): a lead byte followed by a continuation.
bool LooksLikeUtf8(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (lead >= 0xC2 && lead <= 0xF4 && next >= 0x80 && next <= 0xBF) return true;
    }
    return false;
}

TEST(StringTable, IdsAreDistinctResourceNumbersAndTextsAreSingleByte) {
    std::set<int> ids;
    for (const auto& e : kStringTable) {
        const std::string text = e.text;
        EXPECT_TRUE(ids.insert(e.id).second) << "id " << e.id << " twice: " << text;
        EXPECT_GT(e.id, 0) << text;  // 0 is kNoText
        EXPECT_LE(e.id, 0xFFFF) << text;
        EXPECT_FALSE(text.empty()) << e.id;
        EXPECT_FALSE(LooksLikeUtf8(text)) << e.id << ": " << text;
    }
    EXPECT_STREQ(TextOf(IDS_Celsius), "\xB0" "C");
    EXPECT_STREQ(TextOf(kNoText), "");
}

}  // namespace
}  // namespace velt::ui
