#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "data/database.h"
#include "tests/unit/data_fixture.h"

using DataBase::Database;
using DataBase::SqlException;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostDb host(dbPath());
        host.Exec("CREATE TABLE t (id INTEGER, stamp INTEGER, n INTEGER, x REAL, s TEXT);"
                  "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL);"
                  "INSERT INTO t VALUES (4294967301, -5, 42, 2.5, 'Азот N2');"
                  "CREATE TABLE child (parent INTEGER, v TEXT);"
                  "INSERT INTO child VALUES (4294967301, 'a'), (4294967301, 'b'), (7, 'c');");
    }
    std::filesystem::path dbPath() const { return dir.Path() / "host.db"; }
    std::wstring uri() const { return dir.Wide("host.db"); }
    TempDir dir;
};

struct Row {
    int64_t id;
    CTime stamp;
    int32_t n;
    double x;
    std::wstring s;
};

TEST_F(DatabaseTest, ColumnsConvertByHandlerTypeAndNullsGiveTheirDefaults) {
    Database db(uri().c_str());
    std::vector<Row> rows;
    db.Prepare(L"SELECT id, stamp, n, x, s FROM t ORDER BY rowid;")
        .ForEachRow([&](int64_t id, CTime stamp, int32_t n, double x, std::wstring s) {
            rows.push_back({id, stamp, n, x, std::move(s)});
        });
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, -1);
    EXPECT_EQ(rows[0].stamp.GetTime(), 0);
    EXPECT_EQ(rows[0].n, 0);
    EXPECT_EQ(rows[0].x, 0.0);
    EXPECT_EQ(rows[0].s, L"");
    EXPECT_EQ(rows[1].id, 4294967301LL);
    EXPECT_EQ(rows[1].stamp.GetTime(), -5);
    EXPECT_EQ(rows[1].n, 42);
    EXPECT_EQ(rows[1].x, 2.5);
    EXPECT_EQ(rows[1].s, L"Азот N2");

    int calls = 0;
    db.Prepare(L"SELECT s FROM t WHERE 0;").ForEachRow([&](const std::wstring&) { ++calls; });
    EXPECT_EQ(calls, 0);
}

TEST_F(DatabaseTest, TextParameterIsBoundAsUnicodeAndComparedBySqlite) {
    Database db(uri().c_str());
    auto count = [&](const std::wstring& text) {
        int n = 0;
        auto st = db.Prepare(L"SELECT n FROM t WHERE s = ?;");
        st.Bind(text);
        st.ForEachRow([&](int32_t) { ++n; });
        return n;
    };
    EXPECT_EQ(count(L"Азот N2"), 1);
    EXPECT_EQ(count(L"азот N2"), 0);
    EXPECT_EQ(count(L"Азот n2"), 0);
}

TEST_F(DatabaseTest, StatementsNestInsideARowHandlerOnTheSameAndOtherConnections) {
    Database db(uri().c_str());
    std::vector<std::wstring> seen;
    db.Prepare(L"SELECT id FROM t WHERE id IS NOT NULL;").ForEachRow([&](int64_t id) {
        auto inner = db.Prepare(L"SELECT v FROM child WHERE parent = ? ORDER BY v;");
        inner.Bind(static_cast<uint32_t>(5));  // never matches the 64-bit id
        inner.ForEachRow([&](std::wstring v) { seen.push_back(L"bad " + v); });
        Database other(uri().c_str());
        auto st = other.Prepare(L"SELECT v FROM child WHERE parent = %lld ORDER BY v;", static_cast<long long>(id));
        st.ForEachRow([&](std::wstring v) { seen.push_back(v); });
    });
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"b"}));
}

TEST_F(DatabaseTest, AMissingTableIsNamedAndCarriesNoSqlText) {
    Database db(uri().c_str());
    try {
        db.Prepare(L"SELECT id FROM [assay] WHERE id = ?;");
        FAIL() << "no exception";
    } catch (const SqlException& e) {
        EXPECT_NE(std::string(e.what()).find("no such table: assay"), std::string::npos) << e.what();
        EXPECT_EQ(e.code, SQLITE_ERROR);
        EXPECT_FALSE(e.sql.has_value());
    }
}

TEST_F(DatabaseTest, WrongOrUriLikePathsFailWithoutCreatingAFile) {
    const std::string absolute = dbPath().string();
    const std::vector<std::string> paths = {
        (dir.Path() / "missing.db").string(),
        (dir.Path() / "no-folder" / "x.db").string(),
        "file:" + absolute,                       // would open host.db if parsed as a URI
        "file:" + absolute + "?mode=rwc",
    };
    for (const std::string& path : paths) {
        try {
            Database db(WideFromUtf8(path).c_str());
            ADD_FAILURE() << "opened " << path;
        } catch (const SqlException& e) {
            EXPECT_EQ(e.code, SQLITE_CANTOPEN) << path;
            ASSERT_TRUE(e.sql.has_value());
            EXPECT_EQ(*e.sql, "");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing.db"));
    for (const wchar_t* none : {static_cast<const wchar_t*>(nullptr), L""})
        EXPECT_THROW(Database db(none), SqlException);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // host.db alone
}

// Files that are no database, or a damaged one: every read fails with SQLite's
// code (from preparing or from the row loop), the file keeps every byte and
// nothing is created beside it.
TEST_F(DatabaseTest, DamagedFilesFailWithTheirCodeAndAreLeftAsTheyWere) {
    {
        HostDb host(dbPath());
        host.Exec("CREATE TABLE big (id INTEGER PRIMARY KEY, s TEXT);"
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                  " INSERT INTO big SELECT i, printf('%0200d', i) FROM n;");
    }
    const std::string whole = [&] {
        std::ifstream in(dbPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    ASSERT_GT(whole.size(), 100000u);
    std::string garbage(whole.size(), '\0');
    uint32_t seed = 12345;
    for (char& c : garbage) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    struct Case {
        const char* what;
        std::string bytes;
        int code;
    };
    const std::vector<Case> cases = {
        {"empty", "", SQLITE_ERROR},  // an empty file is an empty database: no such table
        {"random bytes", garbage.substr(0, 8192), SQLITE_NOTADB},
        {"header only", whole.substr(0, 100), SQLITE_CORRUPT},
        {"cut in half", whole.substr(0, whole.size() / 2), SQLITE_CORRUPT},
        {"tables overwritten", whole.substr(0, 4096) + garbage.substr(4096), SQLITE_CORRUPT},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dbPath());
        std::ofstream(dbPath(), std::ios::binary) << c.bytes;
        try {
            Database db(uri().c_str());
            int64_t sum = 0;
            db.Prepare(L"SELECT id FROM big;").ForEachRow([&](int64_t id) { sum += id; });
            ADD_FAILURE() << c.what << ": read " << sum;
        } catch (const SqlException& e) {
            EXPECT_EQ(e.code, c.code) << c.what << ": " << e.what();
        }
        std::ifstream in(dbPath(), std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == c.bytes) << c.what;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << c.what;
    }
}

TEST_F(DatabaseTest, TheConnectionIsReadOnly) {
    Database db(uri().c_str());
    const wchar_t* sql = L"DELETE FROM t;";
    try {
        db.Prepare(sql).ForEachRow([] {});
        FAIL() << "wrote to the database";
    } catch (const SqlException& e) {
        EXPECT_EQ(e.code, SQLITE_READONLY);
        EXPECT_EQ(e.sql, std::optional<std::string>("DELETE FROM t;"));
    }
}

TEST_F(DatabaseTest, AStatementIsFinalizedWhenTheHandlerThrows) {
    Database db(uri().c_str());
    EXPECT_THROW(db.Prepare(L"SELECT n FROM t;").ForEachRow([](int32_t) { throw std::runtime_error("stop"); }),
                 std::runtime_error);
    EXPECT_EQ(sqlite3_next_stmt(db.Handle(), nullptr), nullptr);
}

TEST_F(DatabaseTest, ALockHeldPastTheTimeoutIsReportedAsBusyFromTheRowLoop) {
    Database db(uri().c_str());
    auto st = db.Prepare(L"SELECT n FROM t;");
    HostDb writer(dbPath());
    writer.Exec("BEGIN EXCLUSIVE; UPDATE t SET n = 1;");
    auto start = std::chrono::steady_clock::now();
    try {
        st.ForEachRow([](int32_t) {});
        FAIL() << "read through an exclusive lock";
    } catch (const SqlException& e) {
        EXPECT_EQ(e.code, SQLITE_BUSY);
        EXPECT_EQ(e.sql, std::optional<std::string>("SELECT n FROM t;"));
    }
    // The lock was waited for before giving up.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(Database::kBusyTimeoutMs - 100));
    writer.Exec("ROLLBACK;");
}

TEST_F(DatabaseTest, ALockReleasedWithinTheTimeoutIsWaitedFor) {
    HostDb writer(dbPath());
    writer.Exec("BEGIN EXCLUSIVE; UPDATE t SET n = 9;");
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        writer.Exec("COMMIT;");
    });
    int sum = 0;
    try {
        Database db(uri().c_str());
        db.Prepare(L"SELECT n FROM t;").ForEachRow([&](int32_t n) { sum += n; });
    } catch (...) {
        release.join();
        throw;
    }
    release.join();
    EXPECT_EQ(sum, 18);
}

}  // namespace
