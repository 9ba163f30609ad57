// Data sources through unixODBC's installer and the SQLite3 driver, and the
// built-in driver. ODBCINI points at a temporary file: the user's own
// odbc.ini is never touched.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/error.h"
#include "navdb/dsn.h"
#include "selection/statements.h"
#include "support.h"

using namespace karvel;
using karvel::test::read_bytes;
using karvel::test::TempDir;

namespace {

struct OdbcTest : ::testing::Test {
    OdbcTest() {
        const char* old = std::getenv("ODBCINI");
        if (old) saved = old;
        had = old != nullptr;
        ::setenv("ODBCINI", dir.file("odbc.ini").c_str(), 1);
        karvel::test::build_sample_database(dir.file("nav.sqlite"));
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

TEST(DsnAttributes, BuffersOfNulTerminatedPairs) {
    const std::string add = dsn_add_attributes("nav", "ma base", "/d/nav.mdb");
    EXPECT_EQ(add, std::string("DSN=nav\0DESCRIPTION=ma base\0DBQ=/d/nav.mdb\0\0", 44));
    EXPECT_EQ(dsn_remove_attributes("nav"), std::string("DSN=nav\0\0", 9));
}

TEST_F(OdbcTest, RegisterQueryAndRemoveThroughTheSqliteDriver) {
    ASSERT_TRUE(sources.register_dsn("SQLite3", "karvel_test", "essai", dir.file("nav.sqlite")));
    const std::string written = ini();
    EXPECT_NE(written.find("[karvel_test]"), std::string::npos);
    EXPECT_NE(written.find("DBQ=" + dir.file("nav.sqlite")), std::string::npos);
    EXPECT_NE(written.find("Database=" + dir.file("nav.sqlite")), std::string::npos);

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
    karvel::test::build_database(
        dir.file("nav.sqlite"),
        "create table memo (t text); insert into memo values ('" + long_text + "');");
    q.set_sql({"select t from memo"});
    q.open();
    EXPECT_EQ(q.as_text("t"), std::string(4094, 'a') + "\xE9" + std::string(6000, 'b'));

    sources.remove_dsn("SQLite3", "karvel_test");
    EXPECT_EQ(ini().find("[karvel_test]"), std::string::npos);
}

TEST_F(OdbcTest, AnUninstalledDriverFailsAndWritesNothing) {
    EXPECT_FALSE(sources.register_dsn("Pilote Absent", "karvel_test", "", dir.file("nav.sqlite")));
    EXPECT_EQ(ini(), "");
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
