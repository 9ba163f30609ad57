// Start-up from the program folder, failures included, and the write-back.
#include <gtest/gtest.h>

#include "app/regions.h"
#include "app/startup.h"
#include "support.h"

using namespace karvel;
using karvel::test::CurrentDir;
using karvel::test::read_bytes;
using karvel::test::ScriptedDialogs;
using karvel::test::TempDir;
using karvel::test::write_bytes;

namespace {

std::string shipped(const char* name) {
    return read_bytes(std::string(KARVEL_SOURCE_DIR) + "/runtime/" + name);
}

}  // namespace

TEST(RegionIndex, AnyLineEndShortAndEmptyLinesKept) {
    EXPECT_EQ(split_text_lines("LF France\r\nEG\nE\r\rLS Suisse\r\n"),
              (std::vector<std::string>{"LF France", "EG", "E", "", "LS Suisse"}));
    EXPECT_EQ(split_text_lines("a\n\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(split_text_lines("").empty());

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

TEST(Startup, ReadsTheShippedRuntimeFiles) {
    TempDir dir;
    write_bytes(dir.file("karvel_params.ini"), shipped("karvel_params.ini"));
    write_bytes(dir.file("index_regions.txt"), shipped("index_regions.txt"));
    CurrentDir cd(dir.path());
    AppState state;
    ScriptedDialogs dialogs;
    main_window_create(state, dialogs);

    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    EXPECT_EQ(state.nav.version_caption, "karvel 1.6");
    EXPECT_EQ(main_window_title(state.nav), "Creation de fichier secteur  karvel 1.6");
    EXPECT_EQ(std::filesystem::path(state.nav.program_dir), dir.path());
    ASSERT_FALSE(state.nav.region_lines.empty());
    EXPECT_EQ(state.nav.region_lines.size(), state.nav.region_codes.size());
    for (const char* code : {"LF", "EG", "ED", "LE", "LI", "LS", "EB", "EH"})
        EXPECT_GE(find_region_code(state.nav.region_codes, code), 0) << code;

    // The map and the parameters dialog recognise these positions.
    EXPECT_EQ(state.settings.colours[3].name, "FIXES");
    EXPECT_EQ(state.settings.colours[6].name, "SID");
    EXPECT_EQ(state.settings.colours[7].name, "STAR");
    EXPECT_EQ(state.settings.details.size(), 2u);
    EXPECT_EQ(state.settings.odbc.driver, "karvel SQLite");
    EXPECT_GT(state.map.ring_step_nm, 0);
    EXPECT_GT(state.map.map_font_size, 0);
    EXPECT_EQ(state.map.font_name, "MS Sans Serif");
}

// A missing region index no longer costs the data source settings: the
// quit command would otherwise write empty values over the user's path.
TEST(Startup, AMissingRegionIndexIsReportedAndTheSettingsStillRead) {
    TempDir dir;
    write_bytes(dir.file("karvel_params.ini"), shipped("karvel_params.ini"));
    CurrentDir cd(dir.path());
    AppState state;
    ScriptedDialogs dialogs;
    main_window_create(state, dialogs);

    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("index_regions.txt"), std::string::npos);
    EXPECT_TRUE(state.nav.region_lines.empty());
    EXPECT_EQ(state.settings.odbc.filename, "navdata.sqlite");
    EXPECT_EQ(state.settings.colours[19].name, "libre2");
}

TEST(Startup, AMissingSettingsFileReportsEachFailingStep) {
    TempDir dir;
    write_bytes(dir.file("index_regions.txt"), "LF France\r\n");
    CurrentDir cd(dir.path());
    AppState state;
    ScriptedDialogs dialogs;
    main_window_create(state, dialogs);

    // eqdist, size, listsize, then the first missing colour key
    ASSERT_EQ(dialogs.errors.size(), 4u);
    EXPECT_EQ(dialogs.errors[0], "'ERROR' n'est pas une valeur enti\xE8re correcte");
    EXPECT_EQ(dialogs.errors[3], "Index de liste hors limites (0)");
    EXPECT_EQ(state.map.font_name, "ERROR");
    EXPECT_EQ(state.settings.odbc.dsn, "ERROR");
    EXPECT_EQ(state.settings.odbc.filename, "ERROR");
    EXPECT_EQ(state.nav.region_lines, (std::vector<std::string>{"LF France"}));
}

TEST(Startup, WriteBackChangesOnlyTheTwoDataSourceValues) {
    TempDir dir;
    const std::string original = shipped("karvel_params.ini");
    write_bytes(dir.file("karvel_params.ini"), original);
    write_bytes(dir.file("index_regions.txt"), shipped("index_regions.txt"));
    CurrentDir cd(dir.path());
    AppState state;
    ScriptedDialogs dialogs;
    main_window_create(state, dialogs);

    state.settings.odbc.dsn = "autre";
    state.settings.odbc.filename = "/data/nav \xE9t\xE9.mdb";
    state.settings.odbc.driver = "not written";
    write_back_data_source(state.settings);

    std::string expected = original;
    auto replace = [&](const std::string& from, const std::string& to) {
        const size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos);
        expected.replace(at, from.size(), to);
    };
    replace("DNS=karvel_nav\r\n", "DNS=autre\r\n");
    replace("filename=navdata.sqlite\r\n", "filename=/data/nav \xE9t\xE9.mdb\r\n");
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), expected);
}
