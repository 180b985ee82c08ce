#include "ui/deferred_controls.h"

namespace velt::ui {

void DeferredControls::SetShown(bool shown) {
    shown_ = shown;
    if (shown_) Flush();
}

void DeferredControls::WriteText(int id, const std::string& text) {
    if (shown_) return target_.WriteText(id, text);
    Hold(id, Kind::Text, {text, 0});
}

void DeferredControls::WriteCheck(int id, bool checked) {
    if (shown_) return target_.WriteCheck(id, checked);
    Hold(id, Kind::Check, {{}, checked ? 1 : 0});
}

void DeferredControls::WriteEnabled(int id, bool enabled) {
    if (shown_) return target_.WriteEnabled(id, enabled);
    Hold(id, Kind::Enabled, {{}, enabled ? 1 : 0});
}

void DeferredControls::WritePosition(int id, int position) {
    if (shown_) return target_.WritePosition(id, position);
    Hold(id, Kind::Position, {{}, position});
}

void DeferredControls::AppendLines(int id, const std::vector<std::string>& lines) {
    if (shown_) return target_.AppendLines(id, lines);
    auto& held = memos_[id].lines;
    held.insert(held.end(), lines.begin(), lines.end());
}

// Lines held before the clear would be wiped with it: they are dropped now.
void DeferredControls::ClearLines(int id) {
    if (shown_) return target_.ClearLines(id);
    memos_[id] = Memo{true, {}};
}

// The latest value replaces the one held, in place: one entry per control.
void DeferredControls::Hold(int id, Kind kind, Value value) {
    values_.insert_or_assign({id, kind}, std::move(value));
}

void DeferredControls::Flush() {
    // Taken out first: a write may lead the window back here.
    auto values = std::exchange(values_, {});
    auto memos = std::exchange(memos_, {});
    for (const auto& [key, value] : values) WriteValue(key.first, key.second, value);
    for (const auto& [id, memo] : memos) {
        if (memo.cleared) target_.ClearLines(id);
        if (!memo.lines.empty()) target_.AppendLines(id, memo.lines);
    }
}

void DeferredControls::WriteValue(int id, Kind kind, const Value& value) {
    switch (kind) {
        case Kind::Text: target_.WriteText(id, value.text); break;
        case Kind::Check: target_.WriteCheck(id, value.number != 0); break;
        case Kind::Enabled: target_.WriteEnabled(id, value.number != 0); break;
        case Kind::Position: target_.WritePosition(id, value.number); break;
    }
}

}  // namespace velt::ui
