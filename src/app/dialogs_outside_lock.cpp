#include "app/dialogs_outside_lock.h"

namespace velt {

bool ComPortDialogOutsideLock::ShowModal() {
    DataLockGap gap(lock_);
    return dialog_.ShowModal();
}

int BatteryViewOutsideLock::AskNominalBatteryVoltage() {
    DataLockGap gap(lock_);
    return view_.AskNominalBatteryVoltage();
}

}  // namespace velt
