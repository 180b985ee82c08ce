#include "ui/win32/settings_controls.h"

#include <commctrl.h>

#include "ui/win32/controls.h"

namespace velt::ui {

namespace {

// RefreshE is the one up-down edit that takes typing.
constexpr int kTypedEdits[][2] = {{IDC_RefreshE, IDC_RefreshUD}};

class ShowingScope {
public:
    explicit ShowingScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~ShowingScope() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace

void SettingsControls::SetUpRanges() {
    for (const auto& b : binding::kUpDowns) {
        HWND ud = c_.Get(b.id);
        ::SendMessageA(ud, UDM_SETRANGE32, static_cast<WPARAM>(b.range.min), b.range.max);
        SetUpDownIncrement(ud, b.increment);
    }
    for (const auto& b : binding::kTexts) ::SendMessageA(c_.Get(b.id), EM_SETLIMITTEXT, 255, 0);
}

void SettingsControls::Show() {
    ShowingScope scope(showing_);
    for (const auto& b : binding::kChecks) c_.SetCheck(b.id, live_.*b.member);
    for (const auto& b : binding::kTexts) c_.SetText(b.id, live_.*b.member);
    for (const auto& b : binding::kUpDowns)
        ::SendMessageA(c_.Get(b.id), UDM_SETPOS32, 0, b.range.Clamp(live_.*b.member));
    ShowAction();
    ShowHttpStates();
}

void SettingsControls::ShowAction() {
    for (const auto& r : binding::kRadios) c_.SetCheck(r.id, live_.Action == r.action);
}

void SettingsControls::ShowHttpStates() {
    c_.Enable(IDC_HTTPPortE, !live_.HTTPServer);
    c_.Enable(IDC_HTTPUserE, live_.HTTPAuthentication);
    c_.Enable(IDC_HTTPPasswordE, live_.HTTPAuthentication);
}

bool SettingsControls::OnCommand(int id, int code) {
    if (showing_) return false;
    if (code == BN_CLICKED) {
        if (const auto* b = binding::Find(binding::kChecks, id)) {
            OnCheck(*b);
            return true;
        }
        if (const auto* r = binding::Find(binding::kRadios, id)) {
            OnRadio(*r);
            return true;
        }
    }
    if (code == EN_CHANGE) {
        if (const auto* t = binding::Find(binding::kTexts, id)) {
            OnText(*t);
            return true;
        }
        for (const auto& [edit, upDown] : kTypedEdits) {
            if (id != edit) continue;
            OnTypedNumber(*binding::Find(binding::kUpDowns, upDown), edit);
            return true;
        }
    }
    return false;
}

void SettingsControls::OnCheck(const binding::CheckBinding& b) {
    live_.*b.member = c_.Checked(b.id);
    if (b.effect != binding::Effect::None) onEffect_(b.effect);
}

void SettingsControls::OnText(const binding::TextBinding& b) { live_.*b.member = c_.Text(b.id); }

void SettingsControls::OnRadio(const binding::RadioBinding& b) {
    live_.Action = b.action;
    ShowAction();
}

// A typed number becomes the up-down's position; the poll interval itself
// follows only a click of the arrows.
void SettingsControls::OnTypedNumber(const binding::UpDownBinding& b, int editId) {
    int32_t value = 0;
    if (binding::ParseTyped(c_.Text(editId), b.range, value)) live_.*b.member = value;
}

bool SettingsControls::OnUpDownScroll(int id) {
    if (showing_) return false;
    const auto* b = binding::Find(binding::kUpDowns, id);
    if (!b) return false;
    BOOL failed = FALSE;
    const LRESULT pos = ::SendMessageA(c_.Get(id), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    if (failed) return true;
    live_.*b->member = b->range.Clamp(static_cast<int32_t>(pos));
    if (b->effect != binding::Effect::None) onEffect_(b->effect);
    return true;
}

}  // namespace velt::ui
