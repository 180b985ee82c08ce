#pragma once
// The two dialogs a connect may open, shown with the data lock let go. A connect
// holds the lock throughout; a modal dialog left open for minutes would keep
// the worker, and every other holder, waiting all that time. The worker finds
// monitoring off while a connect runs, so it only takes and releases the lock.
#include "core/com_port.h"
#include "status/battery_charge.h"
#include "sys/data_lock.h"

namespace velt {

// Lets go of one level of the (recursive) lock for its lifetime.
class DataLockGap {
public:
    explicit DataLockGap(IDataLock& lock) : lock_(lock) { lock_.Unlock(); }
    ~DataLockGap() { lock_.Lock(); }
    DataLockGap(const DataLockGap&) = delete;
    DataLockGap& operator=(const DataLockGap&) = delete;

private:
    IDataLock& lock_;
};

class ComPortDialogOutsideLock final : public IComPortDialog {
public:
    ComPortDialogOutsideLock(IComPortDialog& dialog, IDataLock& lock) : dialog_(dialog), lock_(lock) {}
    void ClearPorts() override { dialog_.ClearPorts(); }
    void AddPort(const std::string& name) override { dialog_.AddPort(name); }
    void SelectFirstPort() override { dialog_.SelectFirstPort(); }
    bool ShowModal() override;
    std::optional<std::string> SelectedPort() const override { return dialog_.SelectedPort(); }
    bool DtrChecked() const override { return dialog_.DtrChecked(); }
    bool RtsChecked() const override { return dialog_.RtsChecked(); }

private:
    IComPortDialog& dialog_;
    IDataLock& lock_;
};

class BatteryViewOutsideLock final : public IBatteryView {
public:
    BatteryViewOutsideLock(IBatteryView& view, IDataLock& lock) : view_(view), lock_(lock) {}
    void SetChargeCaption(const std::string& text) override { view_.SetChargeCaption(text); }
    void SetGaugePosition(int position) override { view_.SetGaugePosition(position); }
    void SetNominalVoltageText(const std::string& text) override { view_.SetNominalVoltageText(text); }
    void SetThresholdText(BatteryUpDown which, const std::string& text) override {
        view_.SetThresholdText(which, text);
    }
    void SetThresholdUpDown(BatteryUpDown which, const UpDownModel& model) override {
        view_.SetThresholdUpDown(which, model);
    }
    int AskNominalBatteryVoltage() override;

private:
    IBatteryView& view_;
    IDataLock& lock_;
};

}  // namespace velt
