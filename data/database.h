// Read access to the host's SQLite database: a connection, its prepared
// statements with a typed row loop, and the exception every SQLite failure
// raises. A connection lives for one user operation; statements are finalized
// and connections closed on every way out, exceptions included.
//
// The file comes from the host and may be damaged or made to harm: a connection
// reads it read-only and bounds what a statement can cost (see Database).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "base/ctime.h"

struct sqlite3;
struct sqlite3_stmt;

namespace DataBase {

class SqlException : public std::runtime_error {
public:
    // sql: the failing statement's text for row-loop failures, none when there
    // was no statement (preparation), the empty text for open failures.
    SqlException(const std::string& message, int32_t code, std::optional<std::string> sql)
        : std::runtime_error(message), code(code), sql(std::move(sql)) {}

    int32_t code;
    std::optional<std::string> sql;
};

namespace detail {
// Column readers of the row loop; SQL NULL gives the value noted.
void ReadColumn(sqlite3_stmt* statement, int column, int64_t& out);       // database id; NULL: -1
void ReadColumn(sqlite3_stmt* statement, int column, CTime& out);         // seconds since 1970; NULL: 0
void ReadColumn(sqlite3_stmt* statement, int column, int32_t& out);       // NULL: 0
void ReadColumn(sqlite3_stmt* statement, int column, double& out);        // NULL: 0.0
// NULL: empty; a text that cannot be converted (memory ran out) raises SqlException.
void ReadColumn(sqlite3_stmt* statement, int column, std::wstring& out);

template <class T>
struct HandlerTraits : HandlerTraits<decltype(&T::operator())> {};
template <class R, class... A>
struct HandlerTraits<R (*)(A...)> {
    using Values = std::tuple<std::decay_t<A>...>;
};
template <class R, class... A>
struct HandlerTraits<R(A...)> : HandlerTraits<R (*)(A...)> {};
template <class C, class R, class... A>
struct HandlerTraits<R (C::*)(A...) const> : HandlerTraits<R (*)(A...)> {};
template <class C, class R, class... A>
struct HandlerTraits<R (C::*)(A...)> : HandlerTraits<R (*)(A...)> {};
}  // namespace detail

class Database;

// One prepared statement, from Prepare to the end of its row loop.
class Statement {
public:
    Statement(sqlite3_stmt* statement, Database& database, std::chrono::steady_clock::duration spent)
        : statement_(statement), database_(&database), spent_(spent) {}
    Statement(Statement&& other) noexcept
        : statement_(std::exchange(other.statement_, nullptr)),
          database_(other.database_),
          spent_(other.spent_),
          rows_(other.rows_) {}
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    ~Statement();

    // Binds parameter 1: an id as a non-negative 64-bit integer, a text as UTF-16
    // copied by SQLite. A failing bind shows in the row loop.
    void Bind(uint32_t id);
    void Bind(const std::wstring& text);

    // Runs the statement to its end, calling handler once per row with columns
    // 0, 1, ... converted to the handler's parameter types (int64_t, CTime,
    // int32_t, double, std::wstring). Finalizes the statement when done. The
    // time limit counts the time in SQLite only, not the handler's; a statement
    // with more than Database::kRowLimit rows raises SqlException at the one past it.
    template <class Handler>
    void ForEachRow(Handler&& handler) {
        using Values = typename detail::HandlerTraits<std::remove_reference_t<Handler>>::Values;
        while (Step()) {
            Values values;
            std::apply([this](auto&... v) {
                int column = 0;
                (detail::ReadColumn(statement_, column++, v), ...);
            }, values);
            std::apply([&handler](auto&... v) { handler(std::move(v)...); }, values);
        }
    }

private:
    // true on a row; false once done (the statement is then finalized); raises otherwise.
    bool Step();
    sqlite3_stmt* statement_;
    Database* database_;
    std::chrono::steady_clock::duration spent_;  // in preparing and stepping so far
    int64_t rows_ = 0;
};

// One read-only connection to the database file named by the URI text, set up
// for a file that may be damaged or made to harm:
// - opened read-only, never as a URI; defensive, schema not trusted; views and
//   triggers off (a real host database has tables only): a view is refused by
//   SQLite when a statement names it;
// - a column computed on reading (a virtual generated column) is refused: its
//   expression, from the file, could run in one step for hours;
// - limits on the length of a value, a statement and its parts, no attached
//   databases and no worker threads (kLimits in database.cpp);
// - temporary storage in memory, and SQLite's heap bounded by kHeapLimitBytes;
// - a statement taking longer than kTimeLimit in SQLite is ended, and one
//   returning more than kRowLimit rows too.
class Database {
public:
    explicit Database(const wchar_t* uri);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Prepares the SQL text as it is.
    Statement Prepare(const wchar_t* sql);

    sqlite3* Handle() const { return handle_; }

    // How long a lock held by another connection is waited for.
    static constexpr int kBusyTimeoutMs = 2000;
    // How long one statement may run in SQLite, preparing and stepping together.
    static constexpr std::chrono::seconds kTimeLimit{3};
    // What SQLite may hold in memory at once. The SQLite compiled into the
    // plug-in serves only the plug-in, so this bound is the plug-in's own.
    static constexpr int64_t kHeapLimitBytes = 32 << 20;
    // The message of a statement ended at the time limit (code SQLITE_INTERRUPT).
    static constexpr const char* kTooLongMessage = "the database query took too long";
    // The rows one statement may return: a chromatogram has some hundreds of
    // peaks, a mixture some tens of components. Each row becomes a record in
    // memory, and one statement over a table of millions would fill it.
    static constexpr int64_t kRowLimit = 100000;
    // The message of a statement ended there (code SQLITE_TOOBIG).
    static constexpr const char* kTooManyRowsMessage = "the database query returned more than 100000 rows";

private:
    friend class Statement;
    // Starts the time of a statement that has spent `spent` already; the
    // progress handler ends it once that reaches kTimeLimit.
    void StartClock(std::chrono::steady_clock::duration spent);
    // SQLite's error after a call that gave rc, as the exception to raise.
    SqlException Failure(int rc, std::optional<std::string> sql) const;
    // The columns computed on reading, as "table.column" in lower case, read once.
    void FindComputedColumns();
    static int OnProgress(void* self);
    static int Authorize(void* self, int action, const char* table, const char* column, const char*, const char*);

    sqlite3* handle_ = nullptr;
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
    bool timedOut_ = false;
    bool computedColumnsFound_ = false;
    std::set<std::string> computedColumns_;
};

}  // namespace DataBase
