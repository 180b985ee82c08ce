#pragma once
// The settings controls against the live settings: every change the user
// makes goes into the live settings at once, and Show puts the live values
// back into the controls without running any handler. Plain C++ over the
// controls' access; main thread only.
#include <functional>

#include "core/ups_settings.h"
#include "ui/control_access.h"
#include "ui/settings_binding.h"

namespace velt::ui {

class SettingsControls {
public:
    using EffectHandler = std::function<void(binding::Effect)>;

    SettingsControls(const IControlAccess& controls, TUPSSettings& live, EffectHandler onEffect)
        : controls_(controls), live_(live), onEffect_(std::move(onEffect)) {}

    // Ranges and steps of the up-downs; once, after the controls exist.
    void SetUpRanges();
    void Show();

    // True when `id` is a settings control and the event was taken.
    bool OnEvent(int id, ControlEvent event);
    // An arrow click on an up-down, its position already moved.
    bool OnUpDownScroll(int id);

    // HTTPPortE while the server is off, the user and password while
    // authentication is on.
    void ShowHttpStates();

private:
    void OnCheck(const binding::CheckBinding& b);
    void OnText(const binding::TextBinding& b);
    void OnRadio(const binding::RadioBinding& b);
    void OnTypedNumber(const binding::UpDownBinding& b, int editId);
    void ShowAction();

    const IControlAccess& controls_;
    TUPSSettings& live_;
    EffectHandler onEffect_;
    bool showing_ = false;  // Show's own changes are not the user's
};

// Header-only, so the native tests build it with the portable logic.


namespace settings_detail {

// RefreshE is the one up-down edit that takes typing.
inline constexpr int kTypedEdits[][2] = {{IDC_RefreshE, IDC_RefreshUD}};

class ShowingScope {
public:
    explicit ShowingScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~ShowingScope() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace settings_detail

inline void SettingsControls::SetUpRanges() {
    for (const auto& b : binding::kUpDowns) controls_.SetUpDownRange(b.id, b.range.min, b.range.max, b.increment);
}

inline void SettingsControls::Show() {
    settings_detail::ShowingScope scope(showing_);
    for (const auto& b : binding::kChecks) controls_.SetCheck(b.id, live_.*b.member);
    for (const auto& b : binding::kTexts) controls_.SetText(b.id, live_.*b.member);
    for (const auto& b : binding::kUpDowns) controls_.SetUpDownPosition(b.id, b.range.Clamp(live_.*b.member));
    ShowAction();
    ShowHttpStates();
}

inline void SettingsControls::ShowAction() {
    for (const auto& r : binding::kRadios) controls_.SetCheck(r.id, live_.Action == r.action);
}

inline void SettingsControls::ShowHttpStates() {
    controls_.Enable(IDC_HTTPPortE, !live_.HTTPServer);
    controls_.Enable(IDC_HTTPUserE, live_.HTTPAuthentication);
    controls_.Enable(IDC_HTTPPasswordE, live_.HTTPAuthentication);
}

inline bool SettingsControls::OnEvent(int id, ControlEvent event) {
    if (showing_) return false;
    if (event == ControlEvent::Clicked) {
        if (const auto* b = binding::Find(binding::kChecks, id)) {
            OnCheck(*b);
            return true;
        }
        if (const auto* r = binding::Find(binding::kRadios, id)) {
            OnRadio(*r);
            return true;
        }
    }
    if (event == ControlEvent::TextChanged) {
        if (const auto* t = binding::Find(binding::kTexts, id)) {
            OnText(*t);
            return true;
        }
        for (const auto& [edit, upDown] : settings_detail::kTypedEdits) {
            if (id != edit) continue;
            OnTypedNumber(*binding::Find(binding::kUpDowns, upDown), edit);
            return true;
        }
    }
    return false;
}

inline void SettingsControls::OnCheck(const binding::CheckBinding& b) {
    live_.*b.member = controls_.Checked(b.id);
    if (b.effect != binding::Effect::None) onEffect_(b.effect);
}

inline void SettingsControls::OnText(const binding::TextBinding& b) { live_.*b.member = controls_.Text(b.id); }

inline void SettingsControls::OnRadio(const binding::RadioBinding& b) {
    live_.Action = b.action;
    ShowAction();
}

// A typed number becomes the up-down's position; the poll interval itself
// follows only a click of the arrows.
inline void SettingsControls::OnTypedNumber(const binding::UpDownBinding& b, int editId) {
    int32_t value = 0;
    if (binding::ParseTyped(controls_.Text(editId), b.range, value)) live_.*b.member = value;
}

inline bool SettingsControls::OnUpDownScroll(int id) {
    if (showing_) return false;
    const auto* b = binding::Find(binding::kUpDowns, id);
    if (!b) return false;
    const auto pos = controls_.UpDownPosition(id);
    if (!pos) return true;
    live_.*b->member = b->range.Clamp(*pos);
    if (b->effect != binding::Effect::None) onEffect_(b->effect);
    return true;
}

}  // namespace velt::ui
