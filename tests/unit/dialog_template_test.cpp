// The in-memory dialog template, read back the way the dialog manager reads it.
#include "ui/dialog_template.h"

#include <gtest/gtest.h>

#include <string>

namespace velt::ui {
namespace {

constexpr uint32_t kStyle = 0x80C800C0;  // popup, caption, modal frame, set font

// Walks a DLGTEMPLATE the way the system does; fails the test on any
// misalignment.
struct Reader {
    const uint16_t* w;
    size_t n;
    size_t pos = 0;

    uint16_t Word() {
        EXPECT_LT(pos, n);
        return pos < n ? w[pos++] : 0;
    }
    uint32_t Dword() {
        const uint32_t lo = Word();
        return lo | (static_cast<uint32_t>(Word()) << 16);
    }
    std::u16string Text() {
        std::u16string s;
        for (uint16_t c = Word(); c != 0; c = Word()) s.push_back(static_cast<char16_t>(c));
        return s;
    }
    void AlignDword() {
        if (pos % 2) {
            EXPECT_EQ(Word(), 0) << "padding must be zero";
        }
    }
};

struct Item {
    uint32_t style;
    int16_t x, y, cx, cy;
    uint16_t id;
    uint16_t cls;
    std::u16string text;
};

Item ReadItem(Reader& r) {
    r.AlignDword();
    EXPECT_EQ(r.pos % 2, 0u);
    Item it{};
    it.style = r.Dword();
    EXPECT_EQ(r.Dword(), 0u);  // extended style
    it.x = static_cast<int16_t>(r.Word());
    it.y = static_cast<int16_t>(r.Word());
    it.cx = static_cast<int16_t>(r.Word());
    it.cy = static_cast<int16_t>(r.Word());
    it.id = r.Word();
    EXPECT_EQ(r.Word(), 0xFFFF);  // class given as an atom
    it.cls = r.Word();
    it.text = r.Text();
    EXPECT_EQ(r.Word(), 0);  // no creation data
    return it;
}

TEST(DialogTemplate, HeaderCarriesStyleBoxTitleAndFont) {
    const DialogTemplate t(kStyle, {1, 2, 150, 58}, "COM Port", 8, "MS Shell Dlg");
    Reader r{t.Data(), t.WordCount()};
    EXPECT_EQ(r.Dword(), kStyle);
    EXPECT_EQ(r.Dword(), 0u);
    EXPECT_EQ(r.Word(), 0);  // no items yet
    EXPECT_EQ(r.Word(), 1);
    EXPECT_EQ(r.Word(), 2);
    EXPECT_EQ(r.Word(), 150);
    EXPECT_EQ(r.Word(), 58);
    EXPECT_EQ(r.Word(), 0);  // menu
    EXPECT_EQ(r.Word(), 0);  // class
    EXPECT_EQ(r.Text(), u"COM Port");
    EXPECT_EQ(r.Word(), 8);
    EXPECT_EQ(r.Text(), u"MS Shell Dlg");
    EXPECT_EQ(r.pos, t.WordCount());
}

TEST(DialogTemplate, ItemsStartOnDwordBoundariesAndAreCounted) {
    // Titles of odd and even lengths shift the next item's alignment both ways.
    DialogTemplate t(kStyle, {0, 0, 100, 50}, "T", 8, "MS Shell Dlg");
    t.AddItem(0x50000000, {8, 8, 56, 8}, 1405, DialogClass::Static, "COM Port:");
    t.AddItem(0x50010003, {36, 38, 28, 10}, 1403, DialogClass::Button, "DTR");
    t.AddItem(0x50210003, {36, 18, 56, 90}, 1400, DialogClass::ComboBox, "");
    t.AddItem(0x50010001, {102, 8, 40, 14}, 1401, DialogClass::Button, "OK");
    ASSERT_EQ(t.ItemCount(), 4);

    Reader r{t.Data(), t.WordCount()};
    r.Dword();
    r.Dword();
    EXPECT_EQ(r.Word(), 4);
    for (int i = 0; i < 6; ++i) r.Word();
    r.Text();
    r.Word();
    r.Text();

    const Item a = ReadItem(r);
    EXPECT_EQ(a.id, 1405);
    EXPECT_EQ(a.cls, 0x0082);
    EXPECT_EQ(a.text, u"COM Port:");
    EXPECT_EQ(a.x, 8);
    EXPECT_EQ(a.cy, 8);
    const Item b = ReadItem(r);
    EXPECT_EQ(b.style, 0x50010003u);
    EXPECT_EQ(b.id, 1403);
    EXPECT_EQ(b.text, u"DTR");
    const Item c = ReadItem(r);
    EXPECT_EQ(c.cls, 0x0085);
    EXPECT_EQ(c.text, u"");
    EXPECT_EQ(c.cy, 90);
    const Item d = ReadItem(r);
    EXPECT_EQ(d.id, 1401);
    EXPECT_EQ(d.cls, 0x0080);
    EXPECT_EQ(d.text, u"OK");
    EXPECT_EQ(r.pos, t.WordCount());
}

TEST(DialogTemplate, StorageIsDwordAligned) {
    const DialogTemplate t(kStyle, {0, 0, 10, 10}, "", 8, "X");
    EXPECT_EQ(reinterpret_cast<uintptr_t>(t.Data()) % 4, 0u);
}

TEST(DialogTemplate, NonAsciiTextBecomesQuestionMarks) {
    DialogTemplate t(kStyle, {0, 0, 10, 10}, "", 8, "X");
    t.AddItem(0, {0, 0, 1, 1}, 7, DialogClass::Static, "a\xE9z");
    Reader r{t.Data(), t.WordCount()};
    r.Dword();
    r.Dword();
    for (int i = 0; i < 7; ++i) r.Word();
    r.Text();
    r.Word();
    r.Text();
    EXPECT_EQ(ReadItem(r).text, u"a?z");
}

}  // namespace
}  // namespace velt::ui
