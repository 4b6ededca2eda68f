#include "data/database.h"

#include <sqlite3.h>

#include "base/text.h"

namespace DataBase {

using Clock = std::chrono::steady_clock;

namespace {

// What one value and one statement may be. The texts of a real host database
// are file, sample, mixture and component names, and its schema is a few
// tables: these are far above them.
struct Limit {
    int id;
    int value;
};
constexpr Limit kLimits[] = {
    {SQLITE_LIMIT_LENGTH, 1 << 20},          // a text or blob: a longer one fails as too big, unread
    {SQLITE_LIMIT_SQL_LENGTH, 100000},        // a statement, each CREATE text of the schema too
    {SQLITE_LIMIT_EXPR_DEPTH, 100},
    {SQLITE_LIMIT_COMPOUND_SELECT, 4},
    {SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 100},
    {SQLITE_LIMIT_VARIABLE_NUMBER, 8},
    {SQLITE_LIMIT_TRIGGER_DEPTH, 1},
    {SQLITE_LIMIT_ATTACHED, 0},
    {SQLITE_LIMIT_WORKER_THREADS, 0},
};

// The time limit is looked at every this many steps of SQLite's virtual machine
// (a step takes nanoseconds to microseconds, the clock some tens of nanoseconds).
constexpr int kProgressSteps = 1000;

// Table and column as the authorizer compares them: SQLite's names ignore ASCII case.
std::string ColumnKey(const char* table, const char* column) {
    std::string key = std::string(table) + "." + column;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

std::string SqlOf(sqlite3_stmt* statement) {
    const char* sql = sqlite3_sql(statement);
    return sql ? sql : "";
}

}  // namespace

namespace detail {

void ReadColumn(sqlite3_stmt* statement, int column, int64_t& out) {
    out = sqlite3_column_type(statement, column) == SQLITE_NULL ? -1 : sqlite3_column_int64(statement, column);
}

void ReadColumn(sqlite3_stmt* statement, int column, CTime& out) {
    out = CTime(sqlite3_column_type(statement, column) == SQLITE_NULL ? 0 : sqlite3_column_int64(statement, column));
}

void ReadColumn(sqlite3_stmt* statement, int column, int32_t& out) {
    out = sqlite3_column_type(statement, column) == SQLITE_NULL ? 0 : sqlite3_column_int(statement, column);
}

void ReadColumn(sqlite3_stmt* statement, int column, double& out) {
    out = sqlite3_column_type(statement, column) == SQLITE_NULL ? 0.0 : sqlite3_column_double(statement, column);
}

void ReadColumn(sqlite3_stmt* statement, int column, std::wstring& out) {
    out.clear();
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) return;
    const void* text = sqlite3_column_text16(statement, column);
    if (!text) {
        // A value that is not NULL has no text only when converting it failed:
        // memory ran out (SQLite's heap is bounded, see Database).
        int code = sqlite3_errcode(sqlite3_db_handle(statement));
        if (code == SQLITE_OK) code = SQLITE_NOMEM;
        throw SqlException(sqlite3_errstr(code), code, SqlOf(statement));
    }
    out = WideFromUtf16(static_cast<const char16_t*>(text));
}

}  // namespace detail

Statement::~Statement() {
    if (statement_) sqlite3_finalize(statement_);
}

void Statement::Bind(uint32_t id) {
    if (statement_) sqlite3_bind_int64(statement_, 1, static_cast<sqlite3_int64>(id));
}

void Statement::Bind(const std::wstring& text) {
    if (!statement_) return;
    std::u16string utf16 = Utf16FromWide(text);
    sqlite3_bind_text16(statement_, 1, utf16.c_str(), -1, SQLITE_TRANSIENT);
}

bool Statement::Step() {
    if (!statement_) return false;  // a text without a statement has no rows
    const Clock::time_point start = Clock::now();
    database_->StartClock(spent_);
    int rc = sqlite3_step(statement_);
    spent_ += Clock::now() - start;
    if (rc == SQLITE_ROW && ++rows_ <= Database::kRowLimit) return true;
    if (rc == SQLITE_ROW) {
        SqlException error(Database::kTooManyRowsMessage, SQLITE_TOOBIG, SqlOf(statement_));
        sqlite3_finalize(std::exchange(statement_, nullptr));
        throw error;
    }
    if (rc == SQLITE_DONE) {
        sqlite3_finalize(std::exchange(statement_, nullptr));
        return false;
    }
    const bool tooLong = rc == SQLITE_INTERRUPT && database_->timedOut_;
    SqlException error(tooLong ? Database::kTooLongMessage : sqlite3_errstr(rc), rc, SqlOf(statement_));
    sqlite3_finalize(std::exchange(statement_, nullptr));
    throw error;
}

Database::Database(const wchar_t* uri) {
    // The host names a file. A missing or empty name would give SQLite's private
    // temporary database; refuse it as a file that cannot be opened.
    if (!uri || !*uri) throw SqlException("no database file name", SQLITE_CANTOPEN, std::string());
    // The heap limit holds for the whole SQLite of the process (see kHeapLimitBytes).
    static const bool heapLimited = (sqlite3_hard_heap_limit64(kHeapLimitBytes), true);
    (void)heapLimited;
    // Read-only and never a URI: a wrong path fails instead of creating a file.
    int rc = sqlite3_open_v2(Utf8FromWide(uri).c_str(), &handle_, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(handle_, kBusyTimeoutMs);
    const struct {
        int option, value;
    } switches[] = {
        {SQLITE_DBCONFIG_ENABLE_FKEY, 1},      {SQLITE_DBCONFIG_DEFENSIVE, 1},   {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
        {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},   {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
    };
    for (const auto& s : switches)
        if (rc == SQLITE_OK && sqlite3_db_config(handle_, s.option, s.value, nullptr) != SQLITE_OK)
            rc = sqlite3_errcode(handle_);
    if (rc == SQLITE_OK)
        for (const Limit& limit : kLimits) sqlite3_limit(handle_, limit.id, limit.value);
    // Temporary storage: the sorter of an ORDER BY and any temporary table. On
    // files, a sort spills to the temporary folder beyond the page cache and
    // grows there without bound (no sqlite3_limit covers it, and max_page_count
    // set on the temp schema bounds its own tables, not the sorter's files):
    // sorting 40 000 peaks of 1 KB for one chromatogram wrote 43 MB there. In
    // memory, the same sort fails with SQLITE_NOMEM at the heap limit and
    // writes nothing.
    // cell_size_check: pages of the file are checked further as they are read.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(handle_, "PRAGMA temp_store = MEMORY; PRAGMA cell_size_check = ON;", nullptr, nullptr,
                          nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_progress_handler(handle_, kProgressSteps, &Database::OnProgress, this);
        rc = sqlite3_set_authorizer(handle_, &Database::Authorize, this);
    }
    if (rc != SQLITE_OK) {
        SqlException error(handle_ ? sqlite3_errmsg(handle_) : sqlite3_errstr(rc), rc, std::string());
        sqlite3_close(std::exchange(handle_, nullptr));
        throw error;
    }
}

Database::~Database() {
    sqlite3_close(handle_);
}

void Database::StartClock(Clock::duration spent) {
    deadline_ = Clock::now() + kTimeLimit - spent;
    timedOut_ = false;
}

int Database::OnProgress(void* self) {
    auto* database = static_cast<Database*>(self);
    if (Clock::now() < database->deadline_) return 0;
    database->timedOut_ = true;
    return 1;  // SQLite ends the statement with SQLITE_INTERRUPT
}

SqlException Database::Failure(int rc, std::optional<std::string> sql) const {
    if (rc == SQLITE_INTERRUPT && timedOut_) return SqlException(kTooLongMessage, rc, std::move(sql));
    return SqlException(sqlite3_errmsg(handle_), rc, std::move(sql));
}

// A virtual generated column is computed from its expression, which the file
// holds, each time it is read, and one function call of it can run for hours
// (trim() of two 32 KB texts took 3 s; of two 1 MB ones it would take some 45 minutes) with
// no chance for the time limit to end it. Such columns are found once, at the
// connection's first statement, and the authorizer refuses reading them, with
// SQLite's own message ("access to TABLE.COLUMN is prohibited"). Virtual
// tables are left out: their modules are not compiled in.
void Database::FindComputedColumns() {
    const char* sql =
        "SELECT s.name, c.name FROM sqlite_schema AS s, pragma_table_xinfo(s.name) AS c"
        " WHERE s.type = 'table' AND s.sql NOT LIKE 'create virtual table%' AND c.hidden = 2;";
    StartClock(Clock::duration::zero());
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(handle_, sql, -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw Failure(rc, std::nullopt);
    }
    std::set<std::string> found;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* table = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        const auto* column = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
        if (table && column) found.insert(ColumnKey(table, column));
    }
    if (rc != SQLITE_DONE) {
        SqlException error = Failure(rc, std::nullopt);
        sqlite3_finalize(statement);
        throw error;
    }
    sqlite3_finalize(statement);
    computedColumns_ = std::move(found);
    computedColumnsFound_ = true;
}

int Database::Authorize(void* self, int action, const char* table, const char* column, const char*, const char*) {
    if (action != SQLITE_READ || !table || !column) return SQLITE_OK;
    const std::set<std::string>& computed = static_cast<Database*>(self)->computedColumns_;
    return !computed.empty() && computed.count(ColumnKey(table, column)) ? SQLITE_DENY : SQLITE_OK;
}

Statement Database::Prepare(const wchar_t* sql) {
    if (!computedColumnsFound_) FindComputedColumns();
    const Clock::time_point start = Clock::now();
    StartClock(Clock::duration::zero());
    std::u16string utf16 = Utf16FromWide(sql ? sql : L"");
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare16_v2(handle_, utf16.c_str(), -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw Failure(rc, std::nullopt);
    }
    return Statement(statement, *this, Clock::now() - start);
}

}  // namespace DataBase
