#pragma once
// The settings the outbox's channels send with: a copy the main thread
// replaces whenever the settings are loaded or saved and with each alert,
// read by the outbox's thread at each send. A retry goes out with the
// settings of that moment, so a corrected server name helps at once.
#include <mutex>

#include "core/ups_settings.h"

namespace velt {

class ChannelSettings {
public:
    explicit ChannelSettings(const TUPSSettings& settings) : settings_(settings) {}
    void Set(const TUPSSettings& settings) {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_ = settings;
    }
    TUPSSettings Get() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return settings_;
    }

private:
    mutable std::mutex mutex_;
    TUPSSettings settings_;
};

}  // namespace velt
