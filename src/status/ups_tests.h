#pragma once
// The five UPS command buttons: three self-tests, cancelling a test and the
// beeper toggle. A UPS that echoes a command does not know it: its button is
// disabled for the rest of the run and the status bar says so. Main thread only.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/event_sink.h"
#include "core/ups_link.h"
#include "sys/clock.h"
#include "sys/data_lock.h"

namespace velt {

enum class UPSTestButton { Test10s, TestT, TestLow, CancelTest, Beeper };

// What the buttons need of the main window.
class IUPSTestView {
public:
    virtual ~IUPSTestView() = default;
    virtual void DisableUPSTestButton(UPSTestButton button) = 0;
    // A UPS on a NUT server offers only some commands: the others' buttons
    // are disabled until it offers them.
    virtual void SetUPSTestButtonEnabled(UPSTestButton button, bool enabled) = 0;
    virtual void SetStatusText(const std::string& text) = 0;  // the status bar's simple text
};

// TTestTForm, the dialog that asks for the length of a timed test.
class ITestTForm {
public:
    virtual ~ITestTForm() = default;
    // Shows the dialog modally; true when it closed with the OK result.
    virtual bool ShowModalOk() = 0;
    // TestTUD's position, kept between uses.
    virtual int TestTUDPosition() const = 0;
};

// The status bar text for a button whose command the UPS echoed.
std::string NotSupportedText(UPSTestButton button);

struct UPSTestsDeps {
    TUPSLink& link;
    IDataLock& lock;
    ISleeper& sleeper;
    ILogSink& log;  // the exchange's I/O failures
    IUPSTestView& view;
    ITestTForm& testTForm;
    // Sends the button's command to a UPS elsewhere; false when the UPS is
    // this computer's and the link carries it.
    std::function<bool(UPSTestButton)> sendRemote = {};
};

class UPSTests {
public:
    explicit UPSTests(UPSTestsDeps deps) : deps_(deps) {}

    void Test10sSBClick();
    void TestTSBClick();  // asks TTestTForm for the minutes first
    void TestLowSBClick();
    void CancelTestSBClick();
    void UPSBeeperSBClick();

    // Exchanges `command` under the data lock; an echo disables `button`
    // (if any) and shows its text. Any other reply, or none, changes nothing.
    // False when the UPS echoed the command.
    bool RunUPSTestCommand(std::optional<UPSTestButton> button, std::string_view command);

private:
    void Click(UPSTestButton button, std::string_view command);

    UPSTestsDeps deps_;
};

}  // namespace velt
