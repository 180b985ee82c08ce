#include "app/dialogs_outside_lock.h"

namespace velt {

bool TComPortDialogOutsideLock::ShowModal() {
    DataLockGap gap(lock_);
    return dialog_.ShowModal();
}

int TBatteryViewOutsideLock::AskNominalBatteryVoltage() {
    DataLockGap gap(lock_);
    return view_.AskNominalBatteryVoltage();
}

}  // namespace velt
