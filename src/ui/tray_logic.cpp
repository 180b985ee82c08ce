#include "ui/tray_logic.h"

#include "ui/balloon_text.h"

namespace velt::ui {

NotifyRecord TrayIconLogic::Record(unsigned fields) const {
    NotifyRecord r;
    r.size = size_;
    r.fields = fields;
    r.version = version_;
    r.image = image_;
    r.tip = tipNote_.empty() ? tip_ : tip_ + "\n" + tipNote_;
    return r;
}

bool TrayIconLogic::Add() {
    balloonMayShow_ = false;
    return AddAs(RecordSize::Full, kTrayVersion4) || AddAs(RecordSize::V2, kTrayVersion0);
}

// A shell older than Vista refuses the full record, or takes it as the oldest
// record it knows and then refuses version 4; either way the icon is added
// again with the V2 record, so balloons work and every later call has the
// size the shell took.
bool TrayIconLogic::AddAs(RecordSize size, unsigned version) {
    size_ = size;
    version_ = version;
    const unsigned showTip = version == kTrayVersion4 ? unsigned{kTrayShowTipField} : 0u;
    added_ = shell_.Add(Record(kTrayMessageField | kTrayIconField | kTrayTipField | showTip));
    if (!added_ || version == kTrayVersion0) return added_;
    if (shell_.SetVersion(Record(0))) return true;
    shell_.Delete(Record(0));
    added_ = false;
    return false;
}

bool TrayIconLogic::Readd() {
    shell_.Delete(Record(0));
    return Add();
}

void TrayIconLogic::Delete() {
    if (added_) shell_.Delete(Record(0));
    added_ = false;
}

void TrayIconLogic::SetImage(TrayImage image) {
    image_ = image;
    if (added_) shell_.Modify(Record(kTrayIconField));
}

void TrayIconLogic::SetTipNote(const std::string& note) {
    if (note == tipNote_) return;
    tipNote_ = note;
    if (added_) shell_.Modify(Record(kTrayTipField));
}

std::string AlertsWaitingText(int64_t count) {
    if (count <= 0) return {};
    return std::to_string(count) + (count == 1 ? " alert waiting" : " alerts waiting");
}

void TrayIconLogic::ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) {
    if (!added_) return;
    if (balloonMayShow_) shell_.Modify(Record(kTrayInfoField));  // the empty text takes it away
    NotifyRecord r = Record(kTrayInfoField);
    r.balloonTitle = BalloonTitle(title);
    r.balloonText = BalloonText(text);
    r.balloonKind = kind;
    // Every balloon comes unasked (an event, a detection), so none breaks into
    // the user's quiet time; the shells of the smaller record know none.
    r.respectQuietTime = size_ == RecordSize::Full;
    if (!shell_.Modify(r)) return;
    balloonMayShow_ = true;
    ++balloonsShown_;
}

TrayAction TrayIconLogic::OnCallback(std::uintptr_t lParam) {
    using namespace tray_event;
    const std::uintptr_t event = version_ == kTrayVersion4 ? (lParam & 0xFFFFu) : lParam;
    switch (event) {
        case kBalloonHide:
        case kBalloonTimeout:
        case kBalloonUserClick: balloonMayShow_ = false; return TrayAction::None;
        default: break;
    }
    // Version 4 also sends the plain mouse messages; a click is acted on once,
    // through the event that version adds for it.
    if (version_ == kTrayVersion4) {
        if (event == kSelect || event == kKeySelect) return TrayAction::Restore;
        if (event == kContextMenu) return TrayAction::OpenMenu;
    } else {
        if (event == kLeftButtonUp) return TrayAction::Restore;
        if (event == kRightButtonUp) return TrayAction::OpenMenu;
    }
    return TrayAction::None;
}

}  // namespace velt::ui
