#include "data/database.h"

#include <sqlite3.h>

#include <cstdarg>

#include "host/text.h"

namespace DataBase {

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
    out = WideFromUtf16(static_cast<const char16_t*>(sqlite3_column_text16(statement, column)));
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
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) {
        sqlite3_finalize(std::exchange(statement_, nullptr));
        return false;
    }
    const char* sql = sqlite3_sql(statement_);
    SqlException error(sqlite3_errstr(rc), rc, std::string(sql ? sql : ""));
    sqlite3_finalize(std::exchange(statement_, nullptr));
    throw error;
}

Database::Database(const wchar_t* uri) {
    // The host names a file. A missing or empty name would give SQLite's private
    // temporary database; refuse it as a file that cannot be opened.
    if (!uri || !*uri) throw SqlException("no database file name", SQLITE_CANTOPEN, std::string());
    // Read-only and never a URI: a wrong path fails instead of creating a file.
    int rc = sqlite3_open_v2(Utf8FromWide(uri).c_str(), &handle_, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(handle_, kBusyTimeoutMs);
    if (rc == SQLITE_OK && sqlite3_db_config(handle_, SQLITE_DBCONFIG_ENABLE_FKEY, 1, nullptr) != SQLITE_OK)
        rc = sqlite3_errcode(handle_);
    if (rc != SQLITE_OK) {
        SqlException error(handle_ ? sqlite3_errmsg(handle_) : sqlite3_errstr(rc), rc, std::string());
        sqlite3_close(std::exchange(handle_, nullptr));
        throw error;
    }
}

Database::~Database() {
    sqlite3_close(handle_);
}

Statement Database::Prepare(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::wstring text = FormatWV(format, arguments);
    va_end(arguments);
    std::u16string utf16 = Utf16FromWide(text);
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare16_v2(handle_, utf16.c_str(), -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw SqlException(sqlite3_errmsg(handle_), rc, std::nullopt);
    }
    return Statement(statement);
}

}  // namespace DataBase
