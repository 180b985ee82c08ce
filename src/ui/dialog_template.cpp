#include "ui/dialog_template.h"

namespace velt::ui {

DialogTemplate::DialogTemplate(uint32_t style, DialogRect box, std::string_view title, uint16_t pointSize,
                               std::string_view font) {
    PutDword(style);
    PutDword(0);  // extended style
    words_.push_back(0);  // item count, kept current by AddItem
    PutBox(box);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    PutText(title);
    words_.push_back(pointSize);
    PutText(font);
}

void DialogTemplate::AddItem(uint32_t style, DialogRect box, uint16_t id, DialogClass cls, std::string_view text) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
    PutDword(style);
    PutDword(0);
    PutBox(box);
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(static_cast<uint16_t>(cls));
    PutText(text);
    words_.push_back(0);  // no creation data
    ++words_[kCountIndex];
}

void DialogTemplate::PutDword(uint32_t v) {
    words_.push_back(static_cast<uint16_t>(v & 0xFFFF));
    words_.push_back(static_cast<uint16_t>(v >> 16));
}

void DialogTemplate::PutBox(DialogRect b) {
    for (const int16_t v : {b.x, b.y, b.cx, b.cy}) words_.push_back(static_cast<uint16_t>(v));
}

// The dialog texts are ASCII; anything else becomes "?" rather than mojibake.
void DialogTemplate::PutText(std::string_view text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        words_.push_back(b < 0x80 ? b : u'?');
    }
    words_.push_back(0);
}

}  // namespace velt::ui
