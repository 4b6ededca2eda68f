#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include "data/assay_list.h"
#include "data/database.h"
#include "data/mixture_list.h"
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

TEST_F(DatabaseTest, TheSqlTextIsPreparedAsItIs) {
    Database db(uri().c_str());
    std::wstring text;
    db.Prepare(L"SELECT '100%% %d%%';").ForEachRow([&](std::wstring s) { text = std::move(s); });
    EXPECT_EQ(text, L"100%% %d%%");
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
        auto st = other.Prepare(L"SELECT v FROM child WHERE parent = ? + 4294967296 ORDER BY v;");
        st.Bind(static_cast<uint32_t>(id));  // its low 32 bits
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
    // (That the lock is waited for first is shown by the test below, without a clock.)
    try {
        st.ForEachRow([](int32_t) {});
        FAIL() << "read through an exclusive lock";
    } catch (const SqlException& e) {
        EXPECT_EQ(e.code, SQLITE_BUSY);
        EXPECT_EQ(e.sql, std::optional<std::string>("SELECT n FROM t;"));
    }
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

// ---------------------------------------------------------------- hostile databases

// While it lives, a statement of the connection still running after a minute is
// interrupted: a statement that would never end fails its test instead of hanging it.
class Watchdog {
public:
    explicit Watchdog(const Database& db)
        : thread_([this, handle = db.Handle()] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!wake_.wait_for(lock, std::chrono::minutes(1), [this] { return done_; })) sqlite3_interrupt(handle);
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

// The SqlException that what() raises on the connection, watched as above.
template <class F>
SqlException FailureOf(const Database& db, F&& what) {
    Watchdog watchdog(db);
    try {
        what();
    } catch (const SqlException& e) {
        return e;
    }
    ADD_FAILURE() << "no SqlException";
    return SqlException("none", SQLITE_OK, std::nullopt);
}

// Host databases made to cost the plug-in time, memory or disk when it adds
// chromatogram 1: each fails with SQLite's error instead.
TEST(HostileDatabaseTest, AddingFromADatabaseMadeToHangOrExhaustFailsWithItsError) {
    const std::string endless = "WITH RECURSIVE endless(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM endless)";
    const std::string billion =
        "WITH RECURSIVE billion(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM billion WHERE i < 1000000000)";
    const std::string assay = "INSERT INTO assay VALUES (1, 0, 'none.chr', 's', '', 0, 0);";
    struct Case {
        const char* what;
        std::string sql;
        int code;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"[assay] as a view over an endless recursion",
         "DROP TABLE assay; CREATE VIEW assay AS " + endless +
             " SELECT i AS id, 0 AS date, 'f' AS filename, 's' AS sample, '' AS mixture, 0 AS ishidden,"
             " 0 AS isdeleted FROM endless;",
         SQLITE_ERROR, "no such table: main.endless"},  // SQLite refuses the view on resolving its recursion
        {"[peak] as a view of a billion rows to sort",
         assay + "DROP TABLE peak; CREATE VIEW peak AS " + billion +
             " SELECT 1 AS assayid, i AS nameid, 'Метан' AS name, 1.0 AS area, random() AS time, 0 AS channel"
             " FROM billion;",
         SQLITE_ERROR, "no such table: main.billion"},
        {"[assay] as a view with a file name of 300 MB",
         "DROP TABLE assay; CREATE VIEW assay AS SELECT 1 AS id, 0 AS date, printf('%.*c', 300000000, 'x') AS filename,"
         " 's' AS sample, '' AS mixture, 0 AS ishidden, 0 AS isdeleted;",
         SQLITE_ERROR, "access to view \"assay\" prohibited"},
        {"a file name of 6 MB in [assay]",
         "INSERT INTO assay VALUES (1, 0, printf('%.*c', 6000000, 'x'), 's', '', 0, 0);", SQLITE_TOOBIG,
         "string or blob too big"},
        {"a file name computed on reading",
         "DROP TABLE assay; CREATE TABLE assay (id INTEGER PRIMARY KEY, date INTEGER, sample TEXT, mixture TEXT,"
         " ishidden INTEGER, isdeleted INTEGER, filename TEXT GENERATED ALWAYS AS (upper(sample)) VIRTUAL);"
         "INSERT INTO assay VALUES (1, 0, 's', '', 0, 0);",
         SQLITE_AUTH, "access to assay.filename is prohibited"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        {
            HostDb host(dir.Path() / "host.db");
            host.CreateTables();
            host.Exec(c.sql);
        }
        Database db(dir.Wide("host.db").c_str());
        MixtureList mixtures;
        AssayList list(mixtures);
        SqlException e = FailureOf(db, [&] { list.LoadAssay(db, 1); });
        EXPECT_EQ(e.code, c.code) << c.what << ": " << e.what();
        EXPECT_STREQ(e.what(), c.message) << c.what;
    }
}

TEST_F(DatabaseTest, AStatementStillRunningAtTheTimeLimitEndsWithAClearError) {
    HostDb(dbPath()).Exec("CREATE TABLE k (i INTEGER);"
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)"
                          " INSERT INTO k SELECT i FROM n;");
    Database db(uri().c_str());
    const char* sql = "SELECT count(*) FROM k AS a, k AS b, k AS c, k AS d, k AS e;";  // 10^15 rows
    SqlException e = FailureOf(db, [&] { db.Prepare(WideFromUtf8(sql).c_str()).ForEachRow([](int64_t) {}); });
    EXPECT_EQ(e.code, SQLITE_INTERRUPT);
    EXPECT_STREQ(e.what(), "the database query took too long");
    EXPECT_EQ(e.sql, std::optional<std::string>(sql));
    int32_t sum = 0;  // the connection goes on
    db.Prepare(L"SELECT n FROM t;").ForEachRow([&](int32_t n) { sum += n; });
    EXPECT_EQ(sum, 42);
}

TEST_F(DatabaseTest, AStatementEndsAfterTheMostRowsItMayReturn) {
    Database db(uri().c_str());
    const char* sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000000) SELECT i FROM n;";
    int64_t rows = 0;
    SqlException e = FailureOf(db, [&] { db.Prepare(WideFromUtf8(sql).c_str()).ForEachRow([&](int64_t) { ++rows; }); });
    EXPECT_EQ(e.code, SQLITE_TOOBIG);
    EXPECT_STREQ(e.what(), "the database query returned more than 100000 rows");
    EXPECT_EQ(e.sql, std::optional<std::string>(sql));
    EXPECT_EQ(rows, Database::kRowLimit);
}

// Sorted rows stay in memory, within the limit of SQLite's heap: sorting more
// fails instead of filling memory or the disk with temporary files.
TEST_F(DatabaseTest, SortingMoreThanTheMemoryLimitFailsAndTheConnectionGoesOn) {
    Database db(uri().c_str());
    SqlException e = FailureOf(db, [&] {
        db.Prepare(L"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)"
                   L" SELECT randomblob(100000) FROM n ORDER BY 1;")  // 2 GB
            .ForEachRow([](const std::wstring&) {});
    });
    EXPECT_EQ(e.code, SQLITE_NOMEM) << e.what();
    int32_t sum = 0;
    db.Prepare(L"SELECT n FROM t;").ForEachRow([&](int32_t n) { sum += n; });
    EXPECT_EQ(sum, 42);
}

// A text that cannot be converted for want of memory is an error, not an empty text.
TEST_F(DatabaseTest, ATextThatCannotBeConvertedRaisesOutOfMemory) {
    HostDb(dbPath()).Exec("CREATE TABLE long (s TEXT); INSERT INTO long VALUES (printf('%.*c', 900000, 'x'));");
    Database db(uri().c_str());
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.Handle(), "SELECT s FROM long;", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    // The UTF-16 copy (1.8 MB) is more than SQLite may still allocate.
    const sqlite3_int64 limit = sqlite3_hard_heap_limit64(-1);
    sqlite3_hard_heap_limit64(sqlite3_memory_used() + 65536);
    std::wstring text = L"before";
    try {
        DataBase::detail::ReadColumn(statement, 0, text);
        ADD_FAILURE() << "read " << text.size() << " characters";
    } catch (const SqlException& e) {
        EXPECT_EQ(e.code, SQLITE_NOMEM);
        EXPECT_STREQ(e.what(), "out of memory");
        EXPECT_EQ(e.sql, std::optional<std::string>("SELECT s FROM long;"));
    }
    sqlite3_hard_heap_limit64(limit);
    sqlite3_finalize(statement);
}

}  // namespace
