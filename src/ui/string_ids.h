#pragma once
// The ids of the window texts, and the texts themselves, both from
// string_table.inc. The program loads a text from its STRINGTABLE by id (the
// resource compiler builds that table from the same list); the table here lets
// portable code name a text by id and lets tests read what the resources hold.

namespace velt::ui {

enum StringId : int {
    kNoText = 0,  // an empty caption; never loaded
#define VELT_TEXT(name, number, text) name = number,
#include "ui/string_table.inc"
#undef VELT_TEXT
};

struct StringEntry {
    StringId id;
    const char* text;
};

inline constexpr StringEntry kStringTable[] = {
#define VELT_TEXT(name, number, text) {name, text},
#include "ui/string_table.inc"
#undef VELT_TEXT
};

// The text the resources hold for `id`; "" for kNoText or an id not listed.
constexpr const char* TextOf(StringId id) {
    for (const auto& e : kStringTable)
        if (e.id == id) return e.text;
    return "";
}

}  // namespace velt::ui
