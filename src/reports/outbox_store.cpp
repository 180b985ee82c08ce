#include "reports/outbox_store.h"

#include <sqlite3.h>

#include <system_error>
#include <thread>
#include <utility>

#include "reports/history_schema.h"
#include "reports/outbox_retry.h"

namespace velt {

namespace {

using Lock = std::lock_guard<std::mutex>;

constexpr const char* kInsertSql =
    "INSERT INTO outbox (channel, message_id, created, utc_offset, subject, body, next_try)"
    " VALUES (?, ?, ?, ?, ?, ?, ?)";

// Each channel's oldest waiting message: the one its order allows next.
constexpr const char* kHeadsSql =
    " FROM outbox AS o WHERE state = 'waiting'"
    " AND id = (SELECT min(id) FROM outbox WHERE state = 'waiting' AND channel = o.channel)";

OutboxMessage ReadMessage(const SqliteStatement& row, std::optional<int64_t> lastIdBeforeStart) {
    OutboxMessage message;
    message.id = row.Integer(0);
    message.draft = {row.Text(1), row.Text(2), row.Integer(3), static_cast<int>(row.Integer(4)), row.Text(5),
                     row.Text(6)};
    message.attempts = static_cast<int>(row.Integer(7));
    message.fromEarlierRun = lastIdBeforeStart && message.id <= *lastIdBeforeStart;
    return message;
}

std::optional<int64_t> Some(int64_t value) { return value; }

}  // namespace

OutboxStore::OutboxStore(OutboxStoreOptions options, OutboxLogLine log)
    : options_(std::move(options)), log_(std::move(log)) {}

OutboxStore::~OutboxStore() = default;

bool OutboxStore::Open() {
    Lock lock(mutex_);
    return Attempt([] {});
}

std::optional<int64_t> OutboxStore::Add(const OutboxDraft& draft) {
    Lock lock(mutex_);
    int64_t id = 0;
    const bool written = Attempt([&] {
        SqliteStatement insert(*db_, kInsertSql);
        insert.Bind(1, draft.channel);
        insert.Bind(2, draft.messageId);
        insert.Bind(3, Some(draft.createdUtc));
        insert.Bind(4, Some(draft.utcOffsetMinutes));
        insert.Bind(5, draft.subject);
        insert.Bind(6, draft.body);
        insert.Bind(7, Some(draft.createdUtc));
        insert.Step();
        id = sqlite3_last_insert_rowid(db_->Handle());
    });
    return written ? std::optional<int64_t>(id) : std::nullopt;
}

std::vector<OutboxMessage> OutboxStore::Due(int64_t nowUtc) {
    Lock lock(mutex_);
    std::vector<OutboxMessage> due;
    Attempt([&] {
        due.clear();
        SqliteStatement heads(*db_, std::string("SELECT id, channel, message_id, created, utc_offset, subject, body,"
                                                " attempts") +
                                        kHeadsSql + " AND next_try <= ? ORDER BY id");
        heads.Bind(1, Some(nowUtc));
        while (heads.Step()) due.push_back(ReadMessage(heads, lastIdBeforeStart_));
    });
    return due;
}

std::optional<int64_t> OutboxStore::NextTryUtc() {
    Lock lock(mutex_);
    std::optional<int64_t> next;
    Attempt([&] {
        SqliteStatement query(*db_, std::string("SELECT min(next_try)") + kHeadsSql);
        if (query.Step() && query.Real(0)) next = query.Integer(0);
    });
    return next;
}

bool OutboxStore::MarkSent(int64_t id) { return Mark(id, "sent", "", std::nullopt); }

bool OutboxStore::MarkRetry(int64_t id, const std::string& error, int64_t nextTryUtc) {
    return Mark(id, "waiting", error, nextTryUtc);
}

bool OutboxStore::MarkRefused(int64_t id, const std::string& error) { return Mark(id, "refused", error, std::nullopt); }

bool OutboxStore::MarkExpired(int64_t id, const std::string& error) { return Mark(id, "expired", error, std::nullopt); }

// A failure counts an attempt; a send does not.
bool OutboxStore::Mark(int64_t id, const char* state, const std::string& error, std::optional<int64_t> nextTry) {
    Lock lock(mutex_);
    return Attempt([&] {
        SqliteStatement update(*db_,
                               "UPDATE outbox SET state = ?, last_error = ?, next_try = coalesce(?, next_try),"
                               " attempts = attempts + (? <> 'sent') WHERE id = ?");
        update.Bind(1, std::string(state));
        update.Bind(2, error);
        update.Bind(3, nextTry);
        update.Bind(4, std::string(state));
        update.Bind(5, Some(id));
        update.Step();
    });
}

int64_t OutboxStore::Expire(int64_t nowUtc, int outboxHours) {
    Lock lock(mutex_);
    int64_t expired = 0;
    Attempt([&] {
        SqliteStatement update(*db_,
                               "UPDATE outbox SET state = 'expired' WHERE state = 'waiting' AND created <= ? - ? * 3600");
        update.Bind(1, Some(nowUtc));
        update.Bind(2, Some(ClampOutboxHours(outboxHours)));
        update.Step();
        expired = sqlite3_changes(db_->Handle());
    });
    return expired;
}

bool OutboxStore::AllDueAt(int64_t nowUtc) {
    Lock lock(mutex_);
    return Attempt([&] {
        SqliteStatement update(*db_, "UPDATE outbox SET next_try = ? WHERE state = 'waiting' AND next_try > ?");
        update.Bind(1, Some(nowUtc));
        update.Bind(2, Some(nowUtc));
        update.Step();
    });
}

int64_t OutboxStore::WaitingCount() {
    Lock lock(mutex_);
    int64_t count = 0;
    Attempt([&] { count = db_->Integer("SELECT count(*) FROM outbox WHERE state = 'waiting'"); });
    return count;
}

// Runs `body` on an open file, opening it first when needed. A failure
// closes the file, so the next call starts from a fresh connection.
bool OutboxStore::Attempt(const std::function<void()>& body) {
    try {
        if (!db_) OpenSoon();
        body();
        troubleLogged_ = false;
        return true;
    } catch (const std::exception& e) {
        db_.reset();
        Trouble(e.what());
        return false;
    }
}

// SQLite answers "locked" at once, without waiting, to a connection that
// would otherwise deadlock with another one opening the same new file (the
// history's writer at start): a few short pauses let that one finish.
void OutboxStore::OpenSoon() {
    for (int pause = 1;; ++pause) {
        try {
            return OpenFile();
        } catch (const SqliteError& e) {
            if (!e.Passing() || pause > 3) throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50 * pause));
    }
}

// synchronous = FULL on this connection: an alert once written must outlast
// a power cut, and alerts are few.
void OutboxStore::OpenFile() {
    std::error_code ignored;  // a folder that cannot be made fails the open below
    std::filesystem::create_directories(options_.file.parent_path(), ignored);
    auto db = std::make_unique<SqliteDb>(options_.file);
    db->Exec("PRAGMA busy_timeout = " + std::to_string(options_.busyTimeout.count()));
    db->Text("PRAGMA journal_mode = WAL");
    db->Exec("PRAGMA synchronous = FULL");
    MigrateHistory(*db);
    if (!lastIdBeforeStart_) lastIdBeforeStart_ = db->Integer("SELECT coalesce(max(id), 0) FROM outbox");
    db_ = std::move(db);
}

void OutboxStore::Trouble(const std::string& what) {
    if (troubleLogged_) return;
    troubleLogged_ = true;
    log_("Outbox not written (" + what + "); it is tried again later");
}

}  // namespace velt
