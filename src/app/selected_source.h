#pragma once
// The reading source the settings select, behind one face: the parts built
// once (the reply intake, the power actions, the evaluation) hold this and
// follow a change of source without being rebuilt. Main thread only.
#include "status/power_actions.h"
#include "status/reading_source.h"

namespace velt {

class SelectedSource final : public IReadingSource, public IPollingWorker {
public:
    SelectedSource(IReadingSource& local, IReadingSource& remote) : local_(local), remote_(remote) {}

    // Only while monitoring is stopped.
    void Select(bool remote) { active_ = remote ? &remote_ : &local_; }
    IReadingSource& Active() { return *active_; }

    bool Connect() override { return active_->Connect(); }
    bool Reconnect() override { return active_->Reconnect(); }
    SourceReply TakeReply() override { return active_->TakeReply(); }
    void StopPolling() override { active_->StopPolling(); }
    bool Found() const override { return active_->Found(); }
    bool Monitoring() const override { return active_->Monitoring(); }
    void SetRefreshInterval(uint32_t ms) override {
        local_.SetRefreshInterval(ms);
        remote_.SetRefreshInterval(ms);
    }
    ShownDevice Device() const override { return active_->Device(); }
    UpsIdentityText Identity() const override { return active_->Identity(); }
    IPollingWorker& Poller() override { return *this; }
    bool Remote() const override { return active_->Remote(); }
    void OnFailedPoll() override { active_->OnFailedPoll(); }

    // IPollingWorker: the power actions stop the active source's worker.
    void Terminate() override { active_->Poller().Terminate(); }
    bool Finished() const override { return active_->Poller().Finished(); }
    void Join() override { active_->Poller().Join(); }

private:
    IReadingSource& local_;
    IReadingSource& remote_;
    IReadingSource* active_ = &local_;
};

}  // namespace velt
