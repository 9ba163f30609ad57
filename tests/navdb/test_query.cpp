// The query component over the embedded backend, data sources through
// unixODBC's installer and the SQLite3 driver and the built-in driver (ODBCINI
// points at a temporary file: the user's own odbc.ini is never touched);
// opening the database at start and choosing another one.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>

#include "core/error.h"
#include "navdb/database.h"
#include "navdb/dsn.h"
#include "navdb/query.h"
#include "core/numtext.h"
#include "navdb/sqlite_backend.h"
#include "navdb/sqlite_db.h"
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
    EXPECT_THAT([&] { q.open(); }, ThrowsMessage<Error>(HasSubstr("table absente : nowhere")));
    EXPECT_THROW(q.first(), Error);  // closed
    q.set_sql({"select 'abc' as v"});
    q.open();
    EXPECT_THROW(q.as_float("v"), Error);
    EXPECT_THROW(q.as_integer("v"), Error);

    Query unconnected;
    unconnected.set_sql({"select 1"});
    EXPECT_THROW(unconnected.open(), Error);
}

// The reasons are French, whatever SQLite says.
TEST(SqliteConnection, MissingOrForeignFilesFailWhenOpened) {
    TempDir dir;
    EXPECT_THAT([&] { SqliteConnection c(dir.file("absent.sqlite")); },
                ThrowsMessage<Error>(HasSubstr("impossible d'ouvrir le fichier de la base")));
    write_bytes(dir.file("notes.txt"), std::string(4096, 'x'));
    EXPECT_THAT([&] { SqliteConnection c(dir.file("notes.txt")); },
                ThrowsMessage<Error>(::testing::AllOf(
                    HasSubstr("notes.txt"), HasSubstr(w1252("n'est pas une base de données")))));
    EXPECT_EQ(sqlite_reason(SQLITE_CORRUPT, "database disk image is malformed"),
              w1252("le fichier de la base de données est endommagé"));
    EXPECT_EQ(sqlite_reason(SQLITE_IOERR_WRITE, "disk I/O error"),
              w1252("erreur de lecture ou d'écriture sur le disque"));
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

    q.set_sql(region_statements("EG").legs);  // the legs: texts, reals and NULLs
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

namespace {

const std::string kData = w1252("données");

struct OpenTest : ::testing::Test {
    OpenTest() {
        build_sample_database(dir.file("nav.sqlite"));
        write_settings(dir.file("nav.sqlite"));
    }
    void write_settings(const std::string& filename) {
        write_bytes(dir.file("karvel_params.ini"),
                    "[file]\r\ndriver=karvel SQLite\r\nDNS=karvel_nav\r\ndescription=d\r\n"
                    "filename=" +
                        filename + "\r\n");
        settings.ini.open(dir.file("karvel_params.ini"));
        read_odbc(settings);
    }
    std::optional<std::string> open() {
        return open_database(db, settings, dialogs, dir.str(), nullptr);
    }
    TempDir dir;
    Settings settings;
    Database db;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(OpenTest, AnExistingFileOpensWithoutAskingAMissingOneIsAskedFor) {
    EXPECT_EQ(open(), kData + ": cycle:2611 fichier:" + dir.file("nav.sqlite"));
    EXPECT_TRUE(dialogs.open_titles.empty());
    EXPECT_EQ(db.cycle_name, "2611");
    EXPECT_EQ(db.Query1.sql(), cycle_statement());  // left in place
    EXPECT_EQ(cycle_statement().back(), "where config.key='CycleName'");

    // Asked for first, and stored at once.
    write_settings(dir.file("moved.sqlite"));
    dialogs.open_answers.push_back(dir.file("nav.sqlite"));
    EXPECT_EQ(open(), kData + ": cycle:2611 fichier:" + dir.file("nav.sqlite"));
    // The dialog says why it opens; SQLite databases are listed first.
    EXPECT_THAT(dialogs.open_titles,
                ElementsAre("Base de " + kData + " introuvable (" + dir.file("moved.sqlite") +
                            ") : choisir la base de " + kData));
    EXPECT_THAT(dialogs.open_filters[0],
                ::testing::StartsWith("bases de navigation (*.sqlite, *.mdb, *.accdb)|*.sqlite;"));
    EXPECT_THAT(dialogs.open_filters[0], HasSubstr("|mdb files (*.mdb)|*.MDB"));
    EXPECT_THAT(read_bytes(dir.file("karvel_params.ini")),
                HasSubstr("filename=" + dir.file("nav.sqlite")));

    // No cycle row: an empty cycle.
    build_database(dir.file("bare.sqlite"), "create table config (key text, val text);");
    write_settings(dir.file("bare.sqlite"));
    EXPECT_EQ(open(), kData + ": cycle: fichier:" + dir.file("bare.sqlite"));
}

TEST_F(OpenTest, ACancelNoFileOrAnotherKindOfFileSaySo) {
    // Registered, then the file cannot be opened.
    write_settings(dir.file("moved.sqlite"));
    dialogs.open_answers.push_back(std::nullopt);
    EXPECT_THAT([&] { open(); }, ThrowsMessage<Error>(HasSubstr("moved.sqlite")));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(settings.odbc.filename, dir.file("moved.sqlite"));
    // Nothing chosen: no empty database of the engine's own.
    write_settings("");
    dialogs.open_answers.push_back(std::nullopt);
    EXPECT_THAT([&] { open(); }, ThrowsMessage<Error>(HasSubstr("Aucune base de " + kData)));
    EXPECT_FALSE(db.Query1.has_connection());
    // A file of another kind names the table it lacks.
    build_database(dir.file("other.sqlite"), "create table t (x);");
    write_settings(dir.file("other.sqlite"));
    EXPECT_THAT(
        [&] { open(); },
        ThrowsMessage<Error>(HasSubstr("n'est pas une base de navigation : la table \"config\"")));
}

TEST_F(OpenTest, ARegistrationFailureIsReportedAndNoQueryRuns) {
    settings.odbc.driver = "Pilote Absent";
    EXPECT_EQ(open(), std::nullopt);
    EXPECT_THAT(dialogs.messages, ElementsAre(w1252("Echec de création du DSN")));
    EXPECT_FALSE(db.Query1.has_connection());
}

TEST_F(OpenTest, ChoosingAnotherDatabaseAsksForARestart) {
    ASSERT_TRUE(open());
    dialogs.open_answers.push_back(std::nullopt);
    database_choice_command(db, settings, dialogs, dir.str());
    EXPECT_THAT(dialogs.messages, ElementsAre("le programme doit \xEAtre relanc\xE9 pour que "
                                              "changement de base soit effectif"));
    EXPECT_THAT(read_bytes(dir.file("karvel_params.ini")),
                HasSubstr("filename=" + dir.file("nav.sqlite")));

    dialogs.open_answers.push_back(dir.file("other.mdb"));
    database_choice_command(db, settings, dialogs, dir.str());
    EXPECT_THAT(read_bytes(dir.file("karvel_params.ini")),
                HasSubstr("filename=" + dir.file("other.mdb")));
    EXPECT_THROW(db.sources.connect("karvel_nav", nullptr), Error);  // data source removed

    // A path the settings file cannot hold is told; nothing ends, nothing changes.
    write_settings(dir.file("nav.sqlite"));
    ASSERT_TRUE(open());
    dialogs.open_answers.push_back(dir.file("\xE6\x97\xA5\xE6\x9C\xAC.sqlite"));
    const std::string before = read_bytes(dir.file("karvel_params.ini"));
    EXPECT_FALSE(database_choice_command(db, settings, dialogs, dir.str()));
    EXPECT_THAT(dialogs.errors, ElementsAre(HasSubstr("ne peut pas \xEAtre enregistr\xE9")));
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), before);
    EXPECT_EQ(settings.odbc.filename, dir.file("nav.sqlite"));
    EXPECT_NO_THROW(db.sources.connect("karvel_nav", nullptr));  // still registered
}
