#include "ui/settings_controls.h"

#include <utility>

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

SettingsControls::SettingsControls(const IControlAccess& controls, TUPSSettings& live, EffectHandler onEffect)
    : controls_(controls), live_(live), onEffect_(std::move(onEffect)) {}

void SettingsControls::SetUpRanges() {
    for (const auto& b : binding::kUpDowns) controls_.SetUpDownRange(b.id, b.range.min, b.range.max, b.increment);
    for (const auto& b : binding::kChoices) {
        std::vector<std::string> items;
        for (int i = 0; i < b.Count(); ++i) items.emplace_back(TextOf(b.items[static_cast<size_t>(i)]));
        controls_.SetItems(b.id, items);
    }
}

void SettingsControls::Show(bool httpListening, bool nutListening) {
    ShowingScope scope(showing_);
    for (const auto& b : binding::kChecks) controls_.SetCheck(b.id, live_.*b.member);
    for (const auto& b : binding::kTexts) controls_.SetText(b.id, live_.*b.member);
    for (const auto& b : binding::kUpDowns) controls_.SetUpDownPosition(b.id, b.range.Clamp(live_.*b.member));
    // A stored number with no item leaves the list without a selection.
    for (const auto& b : binding::kChoices) controls_.SetSelection(b.id, live_.*b.member);
    ShowAction();
    ShowHttpStates(httpListening);
    ShowNutStates(nutListening);
    ShowSourceStates();
}

void SettingsControls::ShowAction() {
    for (const auto& r : binding::kRadios) controls_.SetCheck(r.id, live_.Action == r.action);
}

// The port follows the server, not its box: a port it could not listen on
// stays editable with the box checked.
void SettingsControls::ShowHttpStates(bool httpListening) {
    controls_.Enable(IDC_HTTPPortE, !httpListening);
    controls_.Enable(IDC_HTTPUserE, live_.HTTPAuthentication);
    controls_.Enable(IDC_HTTPPasswordE, live_.HTTPAuthentication);
}

void SettingsControls::ShowNutStates(bool nutListening) { controls_.Enable(IDC_NUTPortE, !nutListening); }

void SettingsControls::ShowSourceStates() {
    const bool remote = live_.UPSSource == kUPSSourceNut;
    for (const int id : binding::kRemoteSourceControls) controls_.Enable(id, remote);
}

bool SettingsControls::OnEvent(int id, ControlEvent event) {
    if (showing_) return false;
    if (event == ControlEvent::SelectionChanged) {
        if (const auto* c = binding::Find(binding::kChoices, id)) {
            OnChoice(*c);
            return true;
        }
    }
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
        for (const auto& [edit, upDown] : kTypedEdits) {
            if (id != edit) continue;
            OnTypedNumber(*binding::Find(binding::kUpDowns, upDown), edit);
            return true;
        }
    }
    return false;
}

void SettingsControls::OnCheck(const binding::CheckBinding& b) {
    live_.*b.member = controls_.Checked(b.id);
    if (b.effect != binding::Effect::None) onEffect_(b.effect);
}

void SettingsControls::OnText(const binding::TextBinding& b) {
    std::string text = controls_.Text(b.id);
    if (!b.accepts || b.accepts(text)) {
        live_.*b.member = std::move(text);
        return;
    }
    {
        ShowingScope scope(showing_);
        controls_.SetText(b.id, live_.*b.member);
    }
    onEffect_(b.refused);
}

// Picking the item already chosen restarts nothing.
void SettingsControls::OnChoice(const binding::ChoiceBinding& b) {
    const std::optional<int> index = controls_.Selection(b.id);
    if (!index || *index < 0 || *index >= b.Count() || live_.*b.member == *index) return;
    live_.*b.member = *index;
    ShowSourceStates();
    if (b.effect != binding::Effect::None) onEffect_(b.effect);
}

void SettingsControls::OnRadio(const binding::RadioBinding& b) {
    live_.Action = b.action;
    ShowAction();
}

// A typed number becomes the up-down's position; the poll interval itself
// follows only a click of the arrows.
void SettingsControls::OnTypedNumber(const binding::UpDownBinding& b, int editId) {
    int32_t value = 0;
    if (binding::ParseTyped(controls_.Text(editId), b.range, value)) live_.*b.member = value;
}

bool SettingsControls::OnUpDownScroll(int id) {
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
