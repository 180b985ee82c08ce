#pragma once
// TTestTForm: asks for the length of a timed test in minutes. The value is
// kept between showings.
#include "status/ups_tests.h"
#include "ui/win32/modal_dialog.h"

namespace velt::ui {

class TestTForm final : public ModalDialog, public ITestTForm {
public:
    explicit TestTForm(HINSTANCE inst) : ModalDialog(inst) {}

    bool ShowModalOk() override;
    int TestTUDPosition() const override { return minutes_; }

private:
    void OnInit() override;
    void OnCommand(int id, int code) override;
    void OnCancelRequest() override { End(IDCANCEL); }
    void Close(INT_PTR result);

    int minutes_ = 5;
};

}  // namespace velt::ui
