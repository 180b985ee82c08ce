#pragma once
// The network servers the monitor runs: the status page and the NUT server,
// switched by their boxes, reading only what is published for them; the NUT
// device id kept; and the page server's start held back while the saved
// settings load, so it never opens before its user and password are in.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "app/main_thread_log.h"
#include "app/main_view.h"
#include "app/nut_service.h"
#include "app/page_source.h"
#include "core/published.h"
#include "core/ups_settings.h"
#include "net/http_page_server.h"
#include "status/shown_status.h"
#include "sys/settings_store.h"

namespace velt {

struct NetworkServersDeps {
    TUPSSettings& live;
    const ShownStatusPublisher& shown;
    IMainView& view;  // errors and which port fields are editable
    ISettingsStore& store;
    IMainThreadPost& post;
    ILogSink& log;
    IMessagePump& pump;
    ISleeper& sleeper;
    const IClock& clock;
    const IDateTimeFormat& dateFormat;
    std::string version;
    std::function<void()> forcedShutdownChanged;  // main thread
    std::function<bool(const NutInstantCommand&, const std::string&)> runUpsCommand;  // main thread
    // The service serves NUT on this computer always, so the window can watch
    // it; on every address only with "NUT Server" on.
    bool alwaysServeLocally = false;
    // A window watching the service serves nothing: the service does, on these ports.
    bool serveNothing = false;
    // The history's file the page server reads; empty: no history documents.
    std::filesystem::path historyFile{};
};

class NetworkServers {
public:
    explicit NetworkServers(NetworkServersDeps deps);
    ~NetworkServers() { Stop(); }
    NetworkServers(const NetworkServers&) = delete;
    NetworkServers& operator=(const NetworkServers&) = delete;

    // Around the load of the saved settings: a page server switched on by
    // them starts at the end, and so does the NUT server.
    void BeginLoad() { loading_ = true; }
    void EndLoad();

    void HTTPCBClick();
    void NUTCBClick();
    // After every change the user makes to a setting: the servers read the
    // settings published here.
    void SettingsChanged() { settings_.Publish(d_.live); }
    void Stop();

    const HttpPageServer& PageServer() const { return pageServer_; }
    const velt::NutServer& NutServer() const { return nut_.Server(); }
    IPeerShutdown& Peers() { return nut_; }
    bool ForcedShutdown() const { return nut_.Server().ForcedShutdown(); }

private:
    void KeepDeviceId();
    void KeepUsableUpsName();

    NetworkServersDeps d_;
    bool loading_ = false, httpClickDuringLoad_ = false;
    Published<TUPSSettings> settings_;
    PageSource pageSource_;
    MainThreadLog pageServerLog_;
    HttpPageServer pageServer_;
    NutService nut_;
};

}  // namespace velt
