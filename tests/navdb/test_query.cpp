// The query component over the embedded backend, and the statements of both
// selections on the shipped sample database.
#include <gtest/gtest.h>

#include "app/error.h"
#include "navdb/query.h"
#include "navdb/sqlite_backend.h"
#include "navdb/statements.h"
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

TEST(SampleDatabase, AnswersEveryStatementOfBothSelections) {
    TempDir dir;
    karvel::test::build_sample_database(dir.file("nav.sqlite"));
    Query q;
    q.set_connection(std::make_shared<SqliteConnection>(dir.file("nav.sqlite")));

    q.set_sql(position_statement("lfpg"));  // ICAO compares without case
    q.open();
    ASSERT_EQ(q.record_count(), 1);
    EXPECT_NEAR(q.as_float("latitude"), 49.0097, 1e-3);
    EXPECT_NEAR(q.as_float("longtitude"), 2.5478, 1e-3);

    const auto by_airport = airport_statements(box_texts(48.2, 49.8, 1.2, 3.9));
    const auto by_region = region_statements("LF");
    const auto everything = region_statements("");
    const char* kinds[8] = {"airports", "navaids", "waypoints", "runways",
                            "ILS", "procedures", "legs", "airways"};
    for (int i = 0; i < 8; ++i) {
        for (const auto* set : {&by_airport, &by_region}) {
            q.set_sql((*set)[static_cast<size_t>(i)]);
            q.open();
            EXPECT_GT(q.record_count(), 0) << kinds[i];
        }
        q.set_sql(by_region[static_cast<size_t>(i)]);
        q.open();
        const int region_rows = q.record_count();
        q.set_sql(everything[static_cast<size_t>(i)]);
        q.open();
        // "like '%'" takes every airport; "= ''" no navaid or waypoint.
        if (i == 1 || i == 2 || i == 7) {
            EXPECT_EQ(q.record_count(), 0) << kinds[i];
        } else {
            EXPECT_GT(q.record_count(), region_rows) << kinds[i];
        }
    }

    // The legs of one procedure come back in their row order.
    q.set_sql(by_region[6]);
    q.open();
    std::string previous_terminal;
    int previous_id = 0;
    for (q.first(); !q.eof(); q.next()) {
        if (q.as_text("terminalid") == previous_terminal) {
            EXPECT_GT(q.as_integer("ID"), previous_id);
        }
        previous_terminal = q.as_text("terminalid");
        previous_id = q.as_integer("ID");
    }
}
