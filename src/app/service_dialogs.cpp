#include "app/service_dialogs.h"

#include <utility>

namespace velt {

void ServiceComPortDialog::SetStored(const SerialLine& stored) {
    stored_ = stored.ComPort != 0 ? ComPortName(stored.ComPort) : std::string();
    dtr_ = stored.ComDtr;
    rts_ = stored.ComRts;
}

std::vector<std::string> ServiceComPortDialog::Candidates() const {
    std::vector<std::string> ports;
    if (!stored_.empty()) ports.push_back(stored_);
    for (const std::string& port : free_)
        if (port != stored_) ports.push_back(port);
    return ports;
}

// Each port is named in the log on the first round only: a service that
// looks for months must not fill its log with the same words.
bool ServiceComPortDialog::ShowModal() {
    const std::vector<std::string> ports = Candidates();
    if (ports.empty()) {
        chosen_.reset();
        if (!std::exchange(toldNone_, true)) Log("No COM port free for the UPS");
        return false;
    }
    toldNone_ = false;
    chosen_ = ports[tries_ % ports.size()];
    if (tries_ < ports.size()) Log("Looking for the UPS on " + *chosen_);
    ++tries_;
    return true;
}

}  // namespace velt
