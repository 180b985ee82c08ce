#pragma once
// The window's controls by id, as the code that binds them to the live
// settings reaches them. The control set implements it over the real
// controls; tests use a fake. Plain C++, main thread only.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velt::ui {

class IControlAccess {
public:
    virtual ~IControlAccess() = default;
    // Const: they change the controls, not this view of them.
    virtual void SetCheck(int id, bool checked) const = 0;
    virtual bool Checked(int id) const = 0;
    virtual void SetText(int id, const std::string& text) const = 0;
    virtual std::string Text(int id) const = 0;
    virtual void Enable(int id, bool enabled) const = 0;
    virtual void SetUpDownRange(int id, int32_t min, int32_t max, int increment) const = 0;
    virtual void SetUpDownPosition(int id, int32_t position) const = 0;
    // None when the control cannot tell (its buddy holds no number).
    virtual std::optional<int32_t> UpDownPosition(int id) const = 0;
    // A drop-down list: its items, replacing any, and the selected index.
    virtual void SetItems(int id, const std::vector<std::string>& items) const = 0;
    virtual void SetSelection(int id, int index) const = 0;
    // None when nothing is selected.
    virtual std::optional<int> Selection(int id) const = 0;
};

// What happened to a control, as the window learns it from its notifications.
enum class ControlEvent { Clicked, TextChanged, SelectionChanged };

}  // namespace velt::ui
