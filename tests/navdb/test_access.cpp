// Access files read with libmdb into the SQLite cache, on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>

#include "core/cp1252.h"
#include "core/error.h"
#include "navdb/access_import.h"
#include "navdb/dsn.h"
#include "navdb/query.h"
#include "navdb/sqlite_backend.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

const std::string kMdbDir = std::string(KARVEL_SHARED_DIR) + "/data/mdb";

struct AccessTest : ::testing::Test {
    void SetUp() override {
        if (!std::filesystem::exists(kMdbDir + "/nwind.mdb"))
            GTEST_SKIP() << "no Access test files in " << kMdbDir;
        ::setenv("KARVEL_MDB_IMPORT", KARVEL_MDB_IMPORT_PATH, 1);
    }
    void TearDown() override { ::unsetenv("KARVEL_MDB_IMPORT"); }

    // A copy, so that the tests may change it.
    std::string copy(const std::string& name) {
        const std::string path = dir.file(name);
        write_bytes(path, read_bytes(kMdbDir + "/" + name));
        return path;
    }
    Query open(const std::string& mdb) {
        Query q;
        q.set_connection(std::make_shared<SqliteConnection>(access_cache(mdb, cache(), nullptr)));
        return q;
    }
    std::string cache() const { return dir.file("cache"); }
    int count(Query& q, const std::string& table) {
        q.set_sql({"select count(*) as n from \"" + table + "\""});
        q.open();
        return q.as_integer("n");
    }
    long cache_entries() const {
        std::error_code ec;
        return std::distance(std::filesystem::directory_iterator(cache(), ec), {});
    }

    TempDir dir;
};

}  // namespace

TEST_F(AccessTest, EveryTableWithItsRowsTypesAndTexts) {
    Query q = open(copy("nwind.mdb"));
    const std::pair<const char*, int> tables[] = {
        {"Categories", 8},       {"Customers", 91}, {"Employees", 9}, {"Orders", 830},
        {"Order Details", 2155}, {"Products", 77},  {"Shippers", 3},  {"Suppliers", 29},
        {"Ums\xE4tze", 830}};  // the non-ASCII table name, in Windows-1252
    for (const auto& [table, rows] : tables) EXPECT_EQ(count(q, table), rows) << table;

    q.set_sql({"select LastName, BirthDate, HireDate, Region, Photo from Employees",
               "where EmployeeID = 1"});
    q.open();
    EXPECT_EQ(q.as_text("LastName") + " " + q.as_text("BirthDate") + " " + q.as_text("HireDate"),
              "Davolio 1948-12-08 00:00:00 1992-05-01 00:00:00");
    EXPECT_GT(q.as_text("Photo").size(), 10000u);  // an OLE picture, whole

    // Texts compare without case, as in Access; non-ASCII letters arrive.
    q.set_sql({"select CompanyName from Customers where CustomerID = 'berGS'"});
    q.open();
    EXPECT_EQ(q.as_text("CompanyName"), "Berglunds snabbk\xF6p");

    // NULL stays NULL; a Single is the stored float, not its printed form.
    q.set_sql({"select count(*) as n from Orders where ShipRegion is null"});
    q.open();
    EXPECT_GT(q.as_integer("n"), 0);
    q.set_sql({"select Discount from \"Order Details\" where Discount > 0.14 and Discount < 0.16"});
    q.open();
    ASSERT_GT(q.record_count(), 0);
    EXPECT_EQ(q.as_float("Discount"), static_cast<double>(0.15f));
}

TEST_F(AccessTest, DatesOutsideTheUsualCenturiesAndLongTexts) {
    Query q = open(copy("DateTestDatabase.mdb"));
    q.set_sql({"select DateTimeCol, DateCol, TimeCol, LongTextCol from DateTest order by IDCol"});
    q.open();
    std::vector<std::string> dates, texts;
    for (q.first(); !q.eof(); q.next()) {
        dates.push_back(q.as_text("DateCol"));
        texts.push_back(q.as_text("LongTextCol"));
    }
    ASSERT_GE(dates.size(), 4u);
    EXPECT_EQ(texts[1] + ": " + dates[1].substr(0, 4), "Year 9999: 9999");
    EXPECT_EQ(texts[2] + (dates[2] < "1900" ? ": before" : ": after"), "Pre-1900 years: before");
    EXPECT_EQ(texts[3] + (dates[3] < "1000" ? ": before" : ": after"), "Pre-1000 years: before");

    // An Access 2007 file reached through its data source, by its extension.
    DataSources sources;
    sources.cache_dir = cache();
    ASSERT_TRUE(sources.register_dsn(kBuiltinDriver, "acc", "", copy("ASampleDatabase.accdb")));
    Query acc;
    acc.set_connection(sources.connect("acc", nullptr));
    EXPECT_GT(count(acc, "Asset Items"), 0);
    EXPECT_FALSE(sources.remove_dsn(kBuiltinDriver, "absent"));  // nothing removed, no success
}

TEST(AccessDates, DaysFrom1899) {
    // The time of a day before 1899-12-30 is never negative.
    for (const auto& [days, text] : {std::pair{0.0, "1899-12-30 00:00:00"},
                                     {1.5, "1899-12-31 12:00:00"},
                                     {-1.25, "1899-12-29 06:00:00"},
                                     {36526.0, "2000-01-01 00:00:00"},
                                     {60.0, "1900-02-28 00:00:00"},
                                     {61.0, "1900-03-01 00:00:00"},
                                     {0.99999999, "1899-12-31 00:00:00"}})
        EXPECT_EQ(access_date_text(days), text) << days;
}

TEST_F(AccessTest, TheCacheIsReusedUntilTheFileChanges) {
    const std::string mdb = copy("DateTestDatabase.mdb");
    RecordingProgress progress;
    const std::string first = access_cache(mdb, cache(), &progress);
    EXPECT_TRUE(progress.maximum > 0 && progress.positions.back() == progress.maximum);
    struct stat before {
    }, same{};
    ::stat(first.c_str(), &before);

    RecordingProgress again;
    EXPECT_EQ(access_cache(mdb, cache(), &again), first);
    EXPECT_EQ(again.maximum, -1);  // nothing imported
    ::stat(first.c_str(), &same);
    EXPECT_EQ(same.st_ino, before.st_ino);

    const utimbuf later{before.st_mtime + 10, before.st_mtime + 10};
    ::utime(mdb.c_str(), &later);
    EXPECT_EQ(access_cache(mdb, cache(), &again), first);
    EXPECT_GT(again.maximum, 0);  // imported again
    EXPECT_EQ(cache_entries(), 1);
}

TEST_F(AccessTest, ADamagedFileGivesAClearErrorAndNoCache) {
    const std::string whole = read_bytes(kMdbDir + "/nwind.mdb");
    const std::pair<const char*, std::string> damaged[] = {
        {"header.mdb", whole.substr(0, 4096)},
        {"noise.mdb", std::string(65536, '\x5A')},
        {"empty.mdb", std::string()},
    };
    for (const auto& [name, bytes] : damaged) {
        write_bytes(dir.file(name), bytes);
        EXPECT_THROW(access_cache(dir.file(name), cache(), nullptr), Error) << name;
    }
    // A reader that the file kills is told by its signal.
    write_bytes(dir.file("dies.sh"), "#!/bin/sh\nkill -SEGV $$\n");
    ::chmod(dir.file("dies.sh").c_str(), 0755);
    ::setenv("KARVEL_MDB_IMPORT", dir.file("dies.sh").c_str(), 1);
    EXPECT_THAT([&] { access_cache(copy("nwind.mdb"), cache(), nullptr); },
                ThrowsMessage<Error>(HasSubstr(w1252("endommagé : sa lecture a échoué (signal 11)"))));
    EXPECT_EQ(cache_entries(), 0);
    EXPECT_THROW(access_cache(dir.file("absent.mdb"), cache(), nullptr), Error);

    // Without the helper the import runs in the process; the result is the same.
    ::setenv("KARVEL_MDB_IMPORT", "", 1);
    Query again = open(copy("nwind.mdb"));
    EXPECT_EQ(count(again, "Order Details"), 2155);
}
