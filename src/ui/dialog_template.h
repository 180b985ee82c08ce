#pragma once
// Builds an in-memory dialog template (the DLGTEMPLATE form that
// DialogBoxIndirectParamA takes), so dialogs use the control ids of
// control_ids.h directly instead of a second copy of them in a .rc file.
// Plain C++: the byte layout needs no Windows headers, and tests check it.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velt::ui {

// Predefined control classes by their atoms.
enum class DialogClass : uint16_t { Button = 0x0080, Edit = 0x0081, Static = 0x0082, ComboBox = 0x0085 };

// In dialog units. Not "DialogBox": <windows.h> makes that a macro, which would
// give the Win32 callers a different name than this file's definitions.
struct DialogRect {
    int16_t x = 0, y = 0, cx = 0, cy = 0;
};

class DialogTemplate {
public:
    // `style` must include DS_SETFONT (0x40): the font follows the title.
    DialogTemplate(uint32_t style, DialogRect box, std::string_view title, uint16_t pointSize,
                   std::string_view font);

    void AddItem(uint32_t style, DialogRect box, uint16_t id, DialogClass cls, std::string_view text);

    uint16_t ItemCount() const { return words_[kCountIndex]; }
    // The vector's storage comes from operator new, so it is suitably aligned
    // for the DWORD alignment the template needs.
    const uint16_t* Data() const { return words_.data(); }
    size_t WordCount() const { return words_.size(); }

private:
    static constexpr size_t kCountIndex = 4;

    void PutDword(uint32_t v);
    void PutBox(DialogRect b);
    void PutText(std::string_view text);

    std::vector<uint16_t> words_;
};

}  // namespace velt::ui
