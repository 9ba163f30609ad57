// The query component over the embedded backend.
#include <gtest/gtest.h>

#include "core/error.h"
#include "navdb/query.h"
#include "navdb/sqlite_backend.h"
#include "support.h"

using namespace karvel;
using karvel::test::TempDir;

namespace {

struct QueryTest : ::testing::Test {
    QueryTest() {
        karvel::test::build_database(
            dir.file("t.sqlite"),
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
    q.first();
    EXPECT_EQ(q.as_text("id"), "1");
    EXPECT_EQ(q.as_text("NAME"), "Norv\xE8ge");  // UTF-8 in, Windows-1252 out
    EXPECT_DOUBLE_EQ(q.as_float("Lat"), 48.5);
    EXPECT_EQ(q.as_text("lat"), "48.5");
    EXPECT_EQ(q.as_integer("n"), 7);
    q.next();
    EXPECT_EQ(q.as_text("name"), "");  // NULL
    EXPECT_EQ(q.as_float("lat"), 0.0);
    EXPECT_EQ(q.as_integer("n"), 0);
    q.next();
    EXPECT_EQ(q.as_text("name"), "caf?");  // outside the code page
    EXPECT_EQ(q.as_integer("lat"), 2);     // a real read as integer: halves to even
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
    try {
        q.as_text("missing");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Champ 'missing' non trouv\xE9");
    }
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
    karvel::test::write_bytes(dir.file("notes.txt"), std::string(4096, 'x'));
    try {
        SqliteConnection c(dir.file("notes.txt"));
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("notes.txt"), std::string::npos);
    }
}
