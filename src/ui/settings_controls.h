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

    SettingsControls(const IControlAccess& controls, TUPSSettings& live, EffectHandler onEffect);

    // Ranges and steps of the up-downs and the items of the drop-down lists;
    // once, after the controls exist.
    void SetUpRanges();
    // Whether the page server and the NUT server listen, which their port fields follow.
    void Show(bool httpListening, bool nutListening);

    // True when `id` is a settings control and the event was taken.
    bool OnEvent(int id, ControlEvent event);
    // An arrow click on an up-down, its position already moved.
    bool OnUpDownScroll(int id);

    // HTTPPortE while the server is off, the user and password while
    // authentication is on.
    void ShowHttpStates(bool httpListening);
    void ShowNutStates(bool nutListening);
    // The NUT server's fields while the UPS is read from one.
    void ShowSourceStates();

private:
    void OnCheck(const binding::CheckBinding& b);
    void OnText(const binding::TextBinding& b);
    void OnRadio(const binding::RadioBinding& b);
    void OnChoice(const binding::ChoiceBinding& b);
    void OnTypedNumber(const binding::UpDownBinding& b, int editId);
    void ShowAction();

    const IControlAccess& controls_;
    TUPSSettings& live_;
    EffectHandler onEffect_;
    bool showing_ = false;  // Show's own changes are not the user's
};

}  // namespace velt::ui
