#pragma once
// The outbox's table in the history's file, through a connection of its own.
// Every call may come from any thread (the senders add, the outbox's thread
// sends, the window counts); each is one short transaction under the
// store's lock. A failing file gives one log line and the store opens it
// again at the next call; the history's writer is the one that moves a
// damaged file aside.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "reports/outbox_message.h"
#include "reports/sqlite_db.h"

namespace velt {

struct OutboxStoreOptions {
    std::filesystem::path file;  // the history's; its folder is made when missing
    std::chrono::milliseconds busyTimeout{2000};
};

using OutboxLogLine = std::function<void(const std::string&)>;

class OutboxStore {
public:
    OutboxStore(OutboxStoreOptions options, OutboxLogLine log);
    ~OutboxStore();
    OutboxStore(const OutboxStore&) = delete;
    OutboxStore& operator=(const OutboxStore&) = delete;

    // Opens the file unless it is open; true when it can be used. What is
    // waiting at the first opening was queued by an earlier run.
    bool Open();
    // The new row's id; none when it could not be written.
    std::optional<int64_t> Add(const OutboxDraft& draft);
    // The oldest waiting message of each channel, when its next try is due
    // at `nowUtc`, in the order written. A channel whose oldest message
    // waits for its retry gives none: its later ones wait behind it.
    std::vector<OutboxMessage> Due(int64_t nowUtc);
    // The earliest next try among those oldest messages.
    std::optional<int64_t> NextTryUtc();
    bool MarkSent(int64_t id);
    bool MarkRetry(int64_t id, const std::string& error, int64_t nextTryUtc);
    bool MarkRefused(int64_t id, const std::string& error);
    bool MarkExpired(int64_t id, const std::string& error);
    // Gives up the waiting messages written `outboxHours` or more before
    // `nowUtc`; how many.
    int64_t Expire(int64_t nowUtc, int outboxHours);
    // Every waiting message is due at `nowUtc`: at start, the network may
    // have come back while the program was not running.
    bool AllDueAt(int64_t nowUtc);
    // Messages not yet sent nor given up ("N alerts waiting").
    int64_t WaitingCount();

private:
    bool Attempt(const std::function<void()>& body);
    void OpenSoon();
    void OpenFile();
    bool Mark(int64_t id, const char* state, const std::string& error, std::optional<int64_t> nextTry);
    void Trouble(const std::string& what);

    OutboxStoreOptions options_;
    OutboxLogLine log_;
    std::mutex mutex_;  // held by each public call
    std::unique_ptr<SqliteDb> db_;
    // Rows up to this id were written by an earlier run; none before the
    // first opening.
    std::optional<int64_t> lastIdBeforeStart_;
    bool troubleLogged_ = false;  // until a call goes through again
};

}  // namespace velt
