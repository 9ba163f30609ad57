// Opening the database at start and choosing another one.
#include <gtest/gtest.h>

#include "core/error.h"
#include "navdb/database.h"
#include "support.h"

using namespace karvel;
using karvel::test::read_bytes;
using karvel::test::ScriptedDialogs;
using karvel::test::TempDir;
using karvel::test::write_bytes;

namespace {

struct OpenTest : ::testing::Test {
    OpenTest() {
        karvel::test::build_sample_database(dir.file("nav.sqlite"));
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

TEST_F(OpenTest, AnExistingFileOpensWithoutAsking) {
    EXPECT_EQ(open(),
              "donn\xE9"
              "es: cycle:2611 fichier:" +
                  dir.file("nav.sqlite"));
    EXPECT_TRUE(dialogs.open_titles.empty());
    EXPECT_EQ(db.cycle_name, "2611");
    EXPECT_EQ(db.Query1.sql(), cycle_statement());  // left in place
    EXPECT_EQ(cycle_statement().back(), "where config.key='CycleName'");
}

TEST_F(OpenTest, AMissingFileIsAskedForFirstAndStoredAtOnce) {
    write_settings(dir.file("moved.sqlite"));
    dialogs.open_answers.push_back(dir.file("nav.sqlite"));
    EXPECT_EQ(open(),
              "donn\xE9"
              "es: cycle:2611 fichier:" +
                  dir.file("nav.sqlite"));
    ASSERT_EQ(dialogs.open_titles.size(), 1u);
    // The dialog says why it opens; SQLite databases are listed first.
    EXPECT_EQ(dialogs.open_titles[0],
              "Base de donn\xE9"
              "es introuvable (" +
                  dir.file("moved.sqlite") +
                  ") : choisir la base de donn\xE9"
                  "es");
    EXPECT_EQ(dialogs.open_filters[0].rfind(
                  "bases de navigation (*.sqlite, *.mdb, *.accdb)|*.sqlite;", 0),
              0u);
    EXPECT_NE(dialogs.open_filters[0].find("|mdb files (*.mdb)|*.MDB"), std::string::npos);
    EXPECT_NE(read_bytes(dir.file("karvel_params.ini")).find("filename=" + dir.file("nav.sqlite")),
              std::string::npos);
}

TEST_F(OpenTest, ACancelStillRegistersTheOldPath) {
    write_settings(dir.file("moved.sqlite"));
    dialogs.open_answers.push_back(std::nullopt);
    try {
        open();
        FAIL();
    } catch (const Error& e) {  // registered, then the file cannot be opened
        EXPECT_NE(std::string(e.what()).find("moved.sqlite"), std::string::npos);
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(settings.odbc.filename, dir.file("moved.sqlite"));
}

TEST_F(OpenTest, NoCycleRowGivesAnEmptyCycle) {
    karvel::test::build_database(dir.file("bare.sqlite"),
                                 "create table config (key text, val text);");
    write_settings(dir.file("bare.sqlite"));
    EXPECT_EQ(open(),
              "donn\xE9"
              "es: cycle: fichier:" +
                  dir.file("bare.sqlite"));
}

TEST_F(OpenTest, ARegistrationFailureIsReportedAndNoQueryRuns) {
    settings.odbc.driver = "Pilote Absent";
    EXPECT_EQ(open(), std::nullopt);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Echec de cr\xE9"
                                                         "ation du DSN"});
    EXPECT_FALSE(db.Query1.has_connection());
}

TEST_F(OpenTest, NoFileOrNotANavigationDatabaseSaySo) {
    // Nothing chosen: no empty database of the engine's own.
    write_settings("");
    dialogs.open_answers.push_back(std::nullopt);
    try {
        open();
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Aucune base de donn\xE9"
                                             "es"),
                  std::string::npos);
    }
    EXPECT_FALSE(db.Query1.has_connection());
    // A file of another kind names the table it lacks.
    karvel::test::build_database(dir.file("other.sqlite"), "create table t (x);");
    write_settings(dir.file("other.sqlite"));
    try {
        open();
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(
            std::string(e.what()).find("n'est pas une base de navigation : la table \"config\""),
            std::string::npos)
            << e.what();
    }
}

TEST_F(OpenTest, ChoosingAnotherDatabaseAsksForARestart) {
    ASSERT_TRUE(open());
    dialogs.open_answers.push_back(std::nullopt);
    database_choice_command(db, settings, dialogs, dir.str());
    EXPECT_EQ(
        dialogs.messages,
        std::vector<std::string>{
            "le programme doit \xEAtre relanc\xE9 pour que changement de base soit effectif"});
    EXPECT_NE(read_bytes(dir.file("karvel_params.ini")).find("filename=" + dir.file("nav.sqlite")),
              std::string::npos);

    dialogs.open_answers.push_back(dir.file("other.mdb"));
    database_choice_command(db, settings, dialogs, dir.str());
    EXPECT_NE(read_bytes(dir.file("karvel_params.ini")).find("filename=" + dir.file("other.mdb")),
              std::string::npos);
    EXPECT_THROW(db.sources.connect("karvel_nav", nullptr), Error);  // data source removed

    // A path the settings file cannot hold is told; nothing ends, nothing changes.
    write_settings(dir.file("nav.sqlite"));
    ASSERT_TRUE(open());
    dialogs.open_answers.push_back(dir.file("\xE6\x97\xA5\xE6\x9C\xAC.sqlite"));
    const std::string before = read_bytes(dir.file("karvel_params.ini"));
    EXPECT_FALSE(database_choice_command(db, settings, dialogs, dir.str()));
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("ne peut pas \xEAtre enregistr\xE9"), std::string::npos);
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), before);
    EXPECT_EQ(settings.odbc.filename, dir.file("nav.sqlite"));
    EXPECT_NO_THROW(db.sources.connect("karvel_nav", nullptr));  // still registered
}
