// Scratch folders and host databases built with SQLite itself, for the tests
// and benchmarks of the data layer. Header-only: the benchmarks include it too.
#pragma once

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/text.h"

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaro-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::wstring Wide(const std::string& name) const { return WideFromUtf8((path_ / name).string()); }

private:
    std::filesystem::path path_;
};

// A writable connection, as the host has one.
class HostDb {
public:
    explicit HostDb(const std::filesystem::path& file) {
        if (sqlite3_open(file.string().c_str(), &db_) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
        Exec("PRAGMA synchronous = OFF;");
    }
    ~HostDb() { sqlite3_close(db_); }
    HostDb(const HostDb&) = delete;
    HostDb& operator=(const HostDb&) = delete;

    void Exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : "sqlite3_exec failed";
            sqlite3_free(error);
            throw std::runtime_error(message + " in: " + sql);
        }
    }

    // The four tables the system reads, with the columns it selects.
    void CreateTables() {
        Exec("CREATE TABLE mixture (id INTEGER PRIMARY KEY, name TEXT, ballon TEXT, release INTEGER, expiry INTEGER);"
             "CREATE TABLE mixturecomp (id INTEGER PRIMARY KEY, mixtureid INTEGER, nameid INTEGER, name TEXT,"
             " concentration REAL, deviation REAL);"
             "CREATE TABLE assay (id INTEGER PRIMARY KEY, date INTEGER, filename TEXT, sample TEXT, mixture TEXT,"
             " ishidden INTEGER NOT NULL DEFAULT 0, isdeleted INTEGER NOT NULL DEFAULT 0);"
             "CREATE TABLE peak (id INTEGER PRIMARY KEY, assayid INTEGER, nameid INTEGER, name TEXT, area REAL,"
             " time REAL, channel INTEGER);");
    }

    sqlite3* Handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};
