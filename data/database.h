// Read access to the host's SQLite database: a connection, its prepared
// statements with a typed row loop, and the exception every SQLite failure
// raises. A connection lives for one user operation; statements are finalized
// and connections closed on every way out, exceptions included.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "host/ctime.h"

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
void ReadColumn(sqlite3_stmt* statement, int column, std::wstring& out);  // NULL: empty

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

// One prepared statement, from Prepare to the end of its row loop.
class Statement {
public:
    explicit Statement(sqlite3_stmt* statement) : statement_(statement) {}
    Statement(Statement&& other) noexcept : statement_(std::exchange(other.statement_, nullptr)) {}
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    ~Statement();

    // Binds parameter 1: an id as a non-negative 64-bit integer, a text as UTF-16
    // copied by SQLite. A failing bind shows in the row loop.
    void Bind(uint32_t id);
    void Bind(const std::wstring& text);

    // Runs the statement to its end, calling handler once per row with columns
    // 0, 1, ... converted to the handler's parameter types (int64_t, CTime,
    // int32_t, double, std::wstring). Finalizes the statement when done.
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
};

// One read-only connection to the database file named by the URI text.
class Database {
public:
    explicit Database(const wchar_t* uri);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Formats the SQL text (no directive in any text of the system) and prepares it.
    Statement Prepare(const wchar_t* format, ...);

    sqlite3* Handle() const { return handle_; }

    // How long a lock held by another connection is waited for.
    static constexpr int kBusyTimeoutMs = 2000;

private:
    sqlite3* handle_ = nullptr;
};

}  // namespace DataBase
