#pragma once
// Builds an in-memory dialog template (the DLGTEMPLATE form that
// DialogBoxIndirectParamA takes), so dialogs use the control ids of
// control_ids.h directly instead of a second copy of them in a .rc file.
// Plain C++: the byte layout needs no Windows headers, and tests check it.
#include <cstdint>
#include <string_view>
#include <vector>

namespace velt::ui {

// Predefined control classes by their atoms.
enum class DialogClass : uint16_t { Button = 0x0080, Edit = 0x0081, Static = 0x0082, ComboBox = 0x0085 };

struct DialogBox {  // dialog units
    int16_t x = 0, y = 0, cx = 0, cy = 0;
};

class DialogTemplate {
public:
    // `style` must include DS_SETFONT (0x40): the font follows the title.
    DialogTemplate(uint32_t style, DialogBox box, std::string_view title, uint16_t pointSize,
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

    void AddItem(uint32_t style, DialogBox box, uint16_t id, DialogClass cls, std::string_view text) {
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

    uint16_t ItemCount() const { return words_[kCountIndex]; }
    // The vector's storage comes from operator new, so it is suitably aligned
    // for the DWORD alignment the template needs.
    const uint16_t* Data() const { return words_.data(); }
    size_t WordCount() const { return words_.size(); }

private:
    static constexpr size_t kCountIndex = 4;

    void PutDword(uint32_t v) {
        words_.push_back(static_cast<uint16_t>(v & 0xFFFF));
        words_.push_back(static_cast<uint16_t>(v >> 16));
    }
    void PutBox(DialogBox b) {
        for (const int16_t v : {b.x, b.y, b.cx, b.cy}) words_.push_back(static_cast<uint16_t>(v));
    }
    // The dialog texts are ASCII; anything else becomes "?" rather than mojibake.
    void PutText(std::string_view text) {
        for (const char c : text) {
            const auto b = static_cast<unsigned char>(c);
            words_.push_back(b < 0x80 ? b : u'?');
        }
        words_.push_back(0);
    }

    std::vector<uint16_t> words_;
};

}  // namespace velt::ui
