// Opening the database at start and choosing another one.
#include <gtest/gtest.h>

#include "core/error.h"
#include "navdb/database.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

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
