// The query component over the embedded backend, and data sources through
// unixODBC's installer and the SQLite3 driver, and the built-in driver.
// ODBCINI points at a temporary file: the user's own odbc.ini is never touched.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/error.h"
#include "navdb/dsn.h"
#include "navdb/query.h"
#include "navdb/sqlite_backend.h"
#include "selection/statements.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct QueryTest : ::testing::Test {
    QueryTest() {
        build_database(dir.file("t.sqlite"),
                       "create table t (ID integer, Name text, lat real, n integer);"
                       "insert into t values (1, 'Norv\xC3\xA8ge', 48.5, 7), (2, NULL, NULL, NULL),"
                       "(3, 'caf\xE4\xB8\xAD', 2.5, 3);");
        q.set_connection(std::make_shared<SqliteConnection>(dir.file("t.sqlite")));
    }
    TempDir dir;
    Query q;
};

}  // namespace

TEST_F(QueryTest, ReadsColumnsByNameWithoutRegardToCase) {
    q.set_sql({"select ID, name,", "lat, N", "from t", "order by ID"});
    q.open();
    EXPECT_EQ(q.record_count(), 3);
    // A row's fields, by names of any case: UTF-8 in, Windows-1252 out ("?"
    // outside the code page); NULL as empty and 0; a real read as integer
    // halves to even.
    const auto row = [&] {
        return std::tuple(q.as_text("id"), q.as_text("NAME"), q.as_float("Lat"), q.as_text("lat"),
                          q.as_integer("n"), q.as_integer("lat"));
    };
    q.first();
    EXPECT_EQ(row(), std::tuple("1", "Norv\xE8ge", 48.5, "48.5", 7, 48));
    q.next();
    EXPECT_EQ(row(), std::tuple("2", "", 0.0, "", 0, 0));
    q.next();
    EXPECT_EQ(row(), std::tuple("3", "caf?", 2.5, "2.5", 3, 2));
    EXPECT_FALSE(q.eof());
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.as_text("name"), "");  // no current row reads as NULL
    q.next();                          // stays at the end
    EXPECT_EQ(q.record_count(), 3);
    q.first();
    EXPECT_EQ(q.as_text("ID"), "1");
}

TEST_F(QueryTest, ErrorsAreClearAndLeaveTheComponentUsable) {
    q.set_sql({"select * from t"});
    q.open();
    EXPECT_THAT([&] { q.as_text("missing"); },
                ThrowsMessage<Error>(::testing::StrEq("Champ 'missing' non trouv\xE9")));
    q.set_sql({"select * from nowhere"});  // replacing the text closes the result
    EXPECT_FALSE(q.active());
    EXPECT_THROW(q.open(), Error);
    EXPECT_THROW(q.first(), Error);  // closed
    q.set_sql({"select 'abc' as v"});
    q.open();
    EXPECT_THROW(q.as_float("v"), Error);
    EXPECT_THROW(q.as_integer("v"), Error);

    Query unconnected;
    unconnected.set_sql({"select 1"});
    EXPECT_THROW(unconnected.open(), Error);
}

TEST(SqliteConnection, MissingOrForeignFilesFailWhenOpened) {
    TempDir dir;
    EXPECT_THROW(SqliteConnection(dir.file("absent.sqlite")), Error);
    write_bytes(dir.file("notes.txt"), std::string(4096, 'x'));
    EXPECT_THAT([&] { SqliteConnection c(dir.file("notes.txt")); },
                ThrowsMessage<Error>(HasSubstr("notes.txt")));
}

namespace {

struct OdbcTest : ::testing::Test {
    OdbcTest() {
        const char* old = std::getenv("ODBCINI");
        if (old) saved = old;
        had = old != nullptr;
        ::setenv("ODBCINI", dir.file("odbc.ini").c_str(), 1);
        build_sample_database(dir.file("nav.sqlite"));
    }
    ~OdbcTest() override {
        if (had)
            ::setenv("ODBCINI", saved.c_str(), 1);
        else
            ::unsetenv("ODBCINI");
    }
    std::string ini() const {
        return std::filesystem::exists(dir.file("odbc.ini")) ? read_bytes(dir.file("odbc.ini"))
                                                             : std::string();
    }
    TempDir dir;
    std::string saved;
    bool had = false;
    DataSources sources;
};

}  // namespace

TEST_F(OdbcTest, RegisterQueryAndRemoveThroughTheSqliteDriver) {
    ASSERT_TRUE(sources.register_dsn("SQLite3", "karvel_test", "essai", dir.file("nav.sqlite")));
    const std::string written = ini();
    EXPECT_THAT(written, HasSubstr("[karvel_test]"));
    EXPECT_THAT(written, HasSubstr("DBQ=" + dir.file("nav.sqlite")));
    EXPECT_THAT(written, HasSubstr("Database=" + dir.file("nav.sqlite")));

    Query q;
    q.set_connection(sources.connect("karvel_test", nullptr));
    q.set_sql(position_statement("LFMN"));
    q.open();
    ASSERT_EQ(q.record_count(), 1);
    EXPECT_NEAR(q.as_float("LATITUDE"), 43.6584, 1e-3);

    q.set_sql(region_statements("EG")[6]);  // the legs: texts, reals and NULLs
    q.open();
    ASSERT_GT(q.record_count(), 0);
    q.first();
    EXPECT_EQ(q.as_text("trackcode"), "CA");
    EXPECT_EQ(q.as_text("wptid"), "");
    EXPECT_DOUBLE_EQ(q.as_float("course"), 89.7);

    // A text longer than one read of the driver, a two-byte letter across
    // the boundary, arrives whole.
    const std::string long_text = std::string(4094, 'a') + "\xC3\xA9" + std::string(6000, 'b');
    build_database(dir.file("nav.sqlite"),
                   "create table memo (t text); insert into memo values ('" + long_text + "');");
    q.set_sql({"select t from memo"});
    q.open();
    EXPECT_EQ(q.as_text("t"), std::string(4094, 'a') + "\xE9" + std::string(6000, 'b'));

    sources.remove_dsn("SQLite3", "karvel_test");
    EXPECT_EQ(ini().find("[karvel_test]"), std::string::npos);
}

TEST_F(OdbcTest, TheBuiltInDriverTouchesNoSystemFile) {
    ASSERT_TRUE(sources.register_dsn(kBuiltinDriver, "karvel_nav", "", dir.file("nav.sqlite")));
    EXPECT_EQ(ini(), "");
    Query q;
    q.set_connection(sources.connect("karvel_nav", nullptr));
    q.set_sql(position_statement("EGLL"));
    q.open();
    EXPECT_DOUBLE_EQ(q.as_float("latitude"), 51.4775);
    EXPECT_TRUE(sources.remove_dsn(kBuiltinDriver, "karvel_nav"));
    EXPECT_THROW(sources.connect("karvel_nav", nullptr), Error);  // now an unknown ODBC name
}
