#include "ui/win32/control_writer.h"

#include "ui/win32/led_bar.h"

namespace velt::ui {

void ControlWriter::WritePosition(int id, int position) { SetLedBarPosition(controls_.Get(id), position); }

// All lines in one replacement at the end, so a window shown after a long
// time hidden takes its backlog in one go; the caret follows the last line.
void ControlWriter::AppendLines(int id, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    HWND memo = controls_.Get(id);
    const int len = ::GetWindowTextLengthA(memo);
    std::string text;
    for (const std::string& line : lines) {
        if (len > 0 || !text.empty()) text += "\r\n";
        text += line;
    }
    ::SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(len), len);
    ::SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(memo, EM_SCROLLCARET, 0, 0);
}

}  // namespace velt::ui
