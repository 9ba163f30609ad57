// Start-up from the program folder, the region index, and failing steps.
#include <gtest/gtest.h>

#include "core/program_folder.h"
#include "core/regions.h"
#include "program/startup.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

TEST(RegionIndex, AnyLineEndShortAndEmptyLinesKept) {
    EXPECT_EQ(split_text_lines("LF France\r\nEG\nE\r\rLS Suisse\r\n"),
              (std::vector<std::string>{"LF France", "EG", "E", "", "LS Suisse"}));
    EXPECT_EQ(split_text_lines("a\n\n"), (std::vector<std::string>{"a", ""}));
    TempDir dir;
    write_bytes(dir.file("index.txt"), "LF France\rE\r\n\nED Allemagne");
    std::vector<std::string> lines, codes;
    load_region_index(dir.file("index.txt"), lines, codes);
    EXPECT_EQ(lines, (std::vector<std::string>{"LF France", "E", "", "ED Allemagne"}));
    EXPECT_EQ(codes, (std::vector<std::string>{"LF", "E", "", "ED"}));
    EXPECT_EQ(find_region_code(codes, "ed"), 3);
    EXPECT_EQ(find_region_code(codes, "EG"), -1);
    // Saved as UTF-8 with a mark: read as the code page all the same.
    write_bytes(dir.file("utf8.txt"), "\xEF\xBB\xBFLN Norv\xC3\xA8ge\n");
    load_region_index(dir.file("utf8.txt"), lines, codes);
    EXPECT_EQ(lines, (std::vector<std::string>{"LN Norv\xE8ge"}));
}

// A missing region index no longer costs the data source settings: the
// quit command would otherwise write empty values over the user's path.
TEST(Startup, EachFailingStepIsReportedAndTheOthersStillRun) {
    TempDir dir;
    make_program_folder(dir);
    std::filesystem::remove(dir.file("index_regions.txt"));
    CurrentDir cd(dir.path());
    AppState state;
    ScriptedDialogs dialogs;
    main_window_create(state, dialogs);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_THAT(dialogs.errors[0], HasSubstr("index_regions.txt"));
    EXPECT_EQ(state.settings.odbc.filename, "navdata.sqlite");
    EXPECT_EQ(state.settings.colours[19].name, "libre2");

    // No settings file: one message that names it, not one per value.
    std::filesystem::remove(dir.file("karvel_params.ini"));
    write_bytes(dir.file("index_regions.txt"), "LF France\r\n");
    AppState bare;
    ScriptedDialogs told;
    main_window_create(bare, told);
    ASSERT_EQ(told.errors.size(), 1u);
    EXPECT_THAT(told.errors[0], HasSubstr("karvel_params.ini\" est introuvable"));
    EXPECT_EQ(bare.settings.odbc.filename, "ERROR");
    EXPECT_EQ(bare.info.region_lines, (std::vector<std::string>{"LF France"}));

    // A damaged one: every fault in one message, the good values kept.
    std::string ini = source_file("runtime/karvel_params.ini");
    ini.replace(ini.find("eqdist=10"), 9, "eqdist=dix");
    ini.replace(ini.find("STAR=clRed"), 10, "STAR=rouge");
    write_bytes(dir.file("karvel_params.ini"), ini);
    AppState damaged;
    ScriptedDialogs shown;
    main_window_create(damaged, shown);
    ASSERT_EQ(shown.errors.size(), 1u);
    EXPECT_THAT(shown.errors[0],
                HasSubstr("est endommag\xE9 :\n[screen] eqdist : 'dix' n'est pas"));
    EXPECT_THAT(shown.errors[0], HasSubstr("\n[couleur] STAR : 'rouge'"));
    EXPECT_EQ(damaged.map.map_font_size, 8);
    EXPECT_EQ(damaged.settings.colours[6].name, "SID");
}

TEST(ProgramFolder, MadeOnceKeptAndLinkedToTheInstallation) {
    TempDir data, home;
    for (const char* f : {"karvel_params.ini", "index_regions.txt", "navdata.sqlite"})
        write_bytes(data.file(f), std::string("shipped ") + f);
    std::filesystem::create_directory(data.file("geo"));
    ::setenv("XDG_DATA_HOME", home.str().c_str(), 1);
    const std::string folder = prepare_user_folder(data.str());
    EXPECT_EQ(folder, home.file("karvel"));
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/secteurs"));
    EXPECT_EQ(read_bytes(folder + "/navdata.sqlite"), "shipped navdata.sqlite");
    EXPECT_TRUE(std::filesystem::is_symlink(folder + "/geo"));

    // The user's settings stay; the links follow a moved installation; a
    // database of the user's own under the same name is left alone.
    write_bytes(folder + "/karvel_params.ini", "mine");
    const std::string moved = home.file("moved");
    std::filesystem::rename(data.path(), moved);
    prepare_user_folder(moved);
    EXPECT_EQ(read_bytes(folder + "/karvel_params.ini"), "mine");
    EXPECT_EQ(std::filesystem::read_symlink(folder + "/navdata.sqlite").string(),
              moved + "/navdata.sqlite");
    std::filesystem::remove(folder + "/navdata.sqlite");
    write_bytes(folder + "/navdata.sqlite", "my own");
    prepare_user_folder(moved);
    EXPECT_EQ(read_bytes(folder + "/navdata.sqlite"), "my own");
    ::unsetenv("XDG_DATA_HOME");
    // A build, as opposed to an installation, stays where it was started.
    EXPECT_EQ(installed_data_dir(), std::nullopt);
}
