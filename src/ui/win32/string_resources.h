#pragma once
// Texts from the program's STRINGTABLE (built from ui/string_table.inc), in
// the ANSI code page the rest of the window layer speaks.
#include <windows.h>

#include <string>

#include "ui/string_ids.h"

namespace velt::ui {

// "" for kNoText or an id the resources lack.
std::string LoadText(HINSTANCE inst, StringId id);

// A file dialog filter: the text with each "|" turned into the NUL between
// its parts; c_str() then ends it with the two NULs the dialog wants.
std::string LoadFilter(HINSTANCE inst, StringId id);

}  // namespace velt::ui
