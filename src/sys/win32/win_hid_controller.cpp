#include "sys/win32/win_hid_controller.h"

#include <algorithm>

namespace velt::win {

void WinHidController::Refresh() {
    const std::vector<HidDeviceInfo> present = enumerate_();
    std::vector<Entry*> listed;
    std::vector<std::string> knownPaths;
    for (auto& e : entries_) {
        if (!e->present) continue;
        listed.push_back(e.get());
        knownPaths.push_back(e->device->Path());
    }
    const HidPresenceChange change = CompareHidPresence(knownPaths, present);
    std::vector<IHidDevice*> gone, added;
    for (const size_t i : change.gone) {
        listed[i]->present = false;
        listed[i]->device->MarkRemoved();
        gone.push_back(listed[i]->device.get());
    }
    for (const size_t i : change.added) {
        auto entry = std::make_unique<Entry>();
        entry->device = std::make_unique<WinHidDevice>(present[i]);
        added.push_back(entry->device.get());
        entries_.push_back(std::move(entry));
    }
    ++notifying_;
    for (IHidDevice* d : gone)
        if (listener_.removal) listener_.removal(*d);
    for (IHidDevice* d : added)
        if (listener_.arrival) listener_.arrival(*d);
    if (listener_.changed) listener_.changed();
    --notifying_;
    Prune();
}

void WinHidController::Enumerate(const std::function<bool(IHidDevice&, size_t)>& handler) {
    ++notifying_;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (!entries_[i]->present) continue;
        if (!handler(*entries_[i]->device, i)) break;
    }
    --notifying_;
}

bool WinHidController::CheckOut(size_t index) {
    if (index >= entries_.size()) return false;
    Entry& e = *entries_[index];
    if (!e.present || e.checkedOut) return false;
    e.checkedOut = true;
    e.device->SetCheckedOut(true);
    return true;
}

void WinHidController::CheckIn(IHidDevice& device) {
    Entry* e = Find(device);
    if (!e) return;
    e->checkedOut = false;
    e->device->SetCheckedOut(false);
    e->device->CloseAll();
    Prune();
}

WinHidController::Entry* WinHidController::Find(const IHidDevice& device) {
    for (auto& e : entries_)
        if (e->device.get() == &device) return e.get();
    return nullptr;
}

void WinHidController::Prune() {
    if (notifying_ > 0) return;
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [](const auto& e) { return !e->present && !e->checkedOut; }),
                   entries_.end());
}

}  // namespace velt::win
