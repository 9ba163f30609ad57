// The sector file, section by section, its coordinates, and the save command.
#include <gtest/gtest.h>

#include "core/error.h"
#include "sector/coord.h"
#include "sector/writer.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

std::vector<std::string> sector(const NavState& nav, PlaneScale scale = {60.0f, 40.0f},
                                SectorIdentity id = {}) {
    std::vector<std::string> lines;
    write_sector(lines, nav, scale, id);
    return lines;
}

// The lines between a section header and the next separator.
std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& name) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < lines.size() && lines[i] != name) ++i;
    for (++i; i < lines.size() && lines[i] != ";"; ++i) out.push_back(lines[i]);
    return out;
}

ROUTE route(const std::string& icao, const std::string& name, std::vector<std::string> transitions,
            std::vector<LINE> lines, bool selected = true) {
    return {.icao = icao,
            .name = name,
            .lines = std::move(lines),
            .transitions = std::move(transitions),
            .selected = selected};
}

// A segment from latitude `lat` to `lat2`, each point 10 degrees of
// longitude east of its latitude (a swap of the two shows).
LINE seg(const char* t, double lat, double lat2 = 0) {
    return {t, lat, lat + 10, lat2, lat2 + 10};
}

}  // namespace

TEST(SectorWriter, AnEmptySelectionGivesTheCompleteSkeleton) {
    NavState nav;
    nav.version_caption = "karvel 1.6";
    // Every section header between separators, in order; CR LF line ends.
    const auto lines = sector(nav, {60.0f, 40.0f}, {"Secteur \xE9", "LFPG_CTR", "LFPG"});
    const std::string bytes = sector_bytes(lines);
    EXPECT_EQ(bytes, source_file("tests/golden/empty.sct"));
    EXPECT_EQ(sector(nav, {60.0f, 39.305f})[12], "39.31");  // rounded, "." whatever the locale
}

TEST(SectorWriter, PointSectionLayouts) {
    NavState nav;
    nav.vors.push_back({"1", "LGL", "L'AIGLE", "VOR-DME", "", "115.000", 48.790556, 0.53});
    nav.vors.push_back({"2", "ILST", "", "ILS", "R1", "111.150", 51.5, 0.0625});
    nav.ndbs.push_back({"3", "OL", "ORLY", "NDB", "", "374.000", 48.75, 2.25});
    nav.ndbs.push_back({"4", "ABCDEF", "X", "NDB-DME", "", " 9.500", -1, -1});
    FIXE kept{"5", "MOPAR", "MOPAR", 49.6875, 2.8125, true, ""};
    FIXE dropped{"6", "NURMO", "NURMO", 49.3, 2.9, false, ""};
    nav.waypoints = {kept, dropped};
    nav.airports.push_back({"7", "LFPG", "PARIS", "", 49.009722, 2.548056, "", ""});
    nav.runways.push_back({.ident1 = "09",
                           .ident2 = "27",
                           .heading1 = "92",
                           .heading2 = "272",
                           .ils2 = true,
                           .lat1 = 49,
                           .lon1 = 2.5,
                           .lat2 = 49.015625,
                           .lon2 = 2.625});
    nav.runways.push_back(
        {.ident1 = "07R", .heading1 = "70", .ils1 = true, .lat1 = 48.75, .lon1 = 2.1});
    const auto lines = sector(nav);

    EXPECT_EQ(section(lines, "[VOR]"),
              (std::vector<std::string>{"LGL  115.000 N048.47.26.001 E000.31.48.000 ;VOR-DME",
                                        "ILST 111.150 N051.30.00.000 E000.03.45.000 ;ILS"}));
    EXPECT_EQ(section(lines, "[NDB]"),
              (std::vector<std::string>{"OL    374.000 N048.45.00.000 E002.15.00.000 ;NDB",
                                        "ABCDEF  9.500  S001.00.00.000 W001.00.00.000 ;NDB-DME"}));
    EXPECT_EQ(section(lines, "[FIXES]"),
              std::vector<std::string>{"MOPAR N049.41.15.000 E002.48.45.000 ;"});
    EXPECT_EQ(section(lines, "[AIRPORT]"),
              std::vector<std::string>{"LFPG         N049.00.34.999 E002.32.53.001   ;"});
    EXPECT_EQ(
        section(lines, "[RUNWAY]"),
        // The lone end has no line to draw: no runway to 0, 0.
        (std::vector<std::string>{
            "09  27  000 272 N049.00.00.000 E002.30.00.000 N049.00.56.250 E002.37.30.000 ;"}));
}

TEST(SectorWriter, ProceduresGroupedByTransition) {
    NavState nav;
    // Transitions A (segments 1-3) and B (4-6): 3 joins A to B and is taken
    // out; 6, the last LINE, is never written.
    nav.sids.push_back(route("LFPG", "OPALE 1A", {"A", "B"},
                             {seg("A", 1, 2), seg("A", 2, 3), seg("A", 3, 4), seg("B", 4, 5),
                              seg("B", 5, 6), seg("B", 6)}));
    // A STAR whose first transition has no segment, one differing in case,
    // one unselected, and a long label.
    nav.stars.push_back(route("LFPG", "EMPTY 1", {"X", "Y"}, {seg("Y", 7, 8), seg("Y", 8)}));
    nav.stars.push_back(route("LFPG", "CASE 2", {"rw26"}, {seg("RW26", 1, 2), seg("RW26", 2)}));
    nav.stars.push_back(route("LFPG", "OFF 3", {""}, {seg("", 1, 2), seg("", 2)}, false));
    nav.stars.push_back(
        route("LFPG", "A VERY LONG NAME", {"RW27L"}, {seg("RW27L", 1, 2), seg("RW27L", 2)}));
    const auto lines = sector(nav);

    EXPECT_THAT(
        section(lines, "[SID]"),
        ElementsAre(
            "LFPG-OPALE 1A A           N001.00.00.000 E011.00.00.000 N002.00.00.000 E012.00.00.000",
            "                          N002.00.00.000 E012.00.00.000 N003.00.00.000 E013.00.00.000",
            "LFPG-OPALE 1A B           N004.00.00.000 E014.00.00.000 N005.00.00.000 E015.00.00.000",
            "                          N005.00.00.000 E015.00.00.000 N006.00.00.000 "
            "E016.00.00.000"));
    // The header stays; CASE 2 and OFF 3 write nothing; a long label is never cut.
    EXPECT_THAT(
        section(lines, "[STAR]"),
        ElementsAre(
            "LFPG-EMPTY 1 Y            N007.00.00.000 E017.00.00.000 N008.00.00.000 E018.00.00.000",
            "LFPG-A VERY LONG NAME RW27L N001.00.00.000 E011.00.00.000 N002.00.00.000 "
            "E012.00.00.000"));
}

TEST(SectorWriter, TheJoiningSegmentRemovalNeverTakesAnotherProceduresLine) {
    NavState nav;
    nav.sids.push_back(route("LFAA", "ONE", {""}, {seg("", 1, 2), seg("", 2)}));
    // Its first transition writes nothing: the second must not remove ONE's line.
    nav.sids.push_back(route("LFAA", "TWO", {"N", "M"}, {seg("M", 3, 4), seg("M", 4)}));
    EXPECT_THAT(
        section(sector(nav), "[SID]"),
        ElementsAre(
            "LFAA-ONE                  N001.00.00.000 E011.00.00.000 N002.00.00.000 E012.00.00.000",
            "LFAA-TWO M                N003.00.00.000 E013.00.00.000 N004.00.00.000 "
            "E014.00.00.000"));
}

TEST(SectorWriter, AirwaysWholeAndGeographyInTheBox) {
    NavState nav;
    ROUTE a = route("", "UN863", {}, {seg("", 1, 2), seg("", 2, 3)});
    a.id = "1";
    nav.airways.push_back(a);
    nav.airways.push_back(route("", "EMPTY", {}, {}));
    nav.airways.push_back(route("", "UL612", {}, {seg("", 5, 6)}, false));  // not exported
    nav.box_lat_min = 45, nav.box_lat_max = 46, nav.box_lon_min = 5, nav.box_lon_max = 6;
    // in, on the edge, crossing with both ends out (not written), out
    nav.geo_lines.push_back(
        {"coast", {{44, 4}, {45.5, 5.5}, {46, 7}, {47, 7}, {44, 5.5}, {47, 5.5}}});
    nav.geo_lines.push_back({"river", {{46, 6}}});
    const auto lines = sector(nav);
    EXPECT_THAT(
        section(lines, "[HIGH AIRWAY]"),
        ElementsAre(
            "UN863                     N001.00.00.000 E011.00.00.000 N002.00.00.000 E012.00.00.000",
            "                          N002.00.00.000 E012.00.00.000 N003.00.00.000 "
            "E013.00.00.000"));
    EXPECT_THAT(section(lines, "[GEO]"),
                ElementsAre("N044.00.00.000 E004.00.00.000 N045.30.00.000 E005.30.00.000 coast",
                            "N045.30.00.000 E005.30.00.000 N046.00.00.000 E007.00.00.000 coast"));
}

TEST(SaveSector, AsksInTheSectorFolderAndWritesWhole) {
    TempDir dir;
    NavState nav;
    nav.program_dir = dir.str();
    nav.version_caption = "karvel 1.6";
    ScriptedDialogs dialogs;

    dialogs.save_answers.push_back(std::nullopt);  // cancel: nothing written
    EXPECT_FALSE(save_sector(nav, {}, {}, dialogs));
    EXPECT_EQ(dialogs.save_dirs[0], dir.str() + "/secteurs");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("secteurs")));  // made when missing
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("secteurs")));

    const std::string target = dir.file("secteurs/LFPG.sct");
    write_bytes(target, "old content");
    dialogs.save_answers.push_back(target);
    EXPECT_TRUE(save_sector(nav, {}, {}, dialogs));
    EXPECT_EQ(read_bytes(target).substr(0, 10), "; Ce fichi");

    // A failed write leaves what was there and no temporary behind.
    std::filesystem::create_directory(dir.file("secteurs/dossier.sct"));
    dialogs.save_answers.push_back(dir.file("secteurs/dossier.sct"));
    EXPECT_THROW(save_sector(nav, {}, {}, dialogs), Error);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("secteurs/dossier.sct")));
    dialogs.save_answers.push_back(dir.file("nowhere/x.sct"));
    EXPECT_THROW(save_sector(nav, {}, {}, dialogs), Error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("secteurs")), {}), 2);
}

TEST(FormatCoord, TheWorkedExamples) {
    const struct {
        double lat, lon;
        const char *tlat, *tlon;
    } cases[] = {
        {48.8566, 2.3522, "N048.51.23.760", "E002.21.07.919"},
        {-1.25, -73.7789, "S001.15.00.000", "W073.46.44.039"},
        {45.5, 180, "N045.30.00.000", "E180.00.00.000"},
        {0.0, -0.0, "S000.00.00.000", "W000.00.00.000"},
        {0.9999999, -180, "N000.59.59.999", "W180.00.00.000"},
        // A hair below a whole second stays below it.
        {51.4775, 2.710045, "N051.28.38.999", "E002.42.36.162"},
        {-43.658411, 7.215872, "S043.39.30.279", "E007.12.57.139"},
    };
    for (const auto& c : cases) {
        const CoordText t = format_coord({c.lat, c.lon});
        EXPECT_EQ(t.latitude, c.tlat);
        EXPECT_EQ(t.longitude, c.tlon);
    }
    EXPECT_EQ(format_coord({999.5, -999.999}).latitude.size(), 14u);
    EXPECT_EQ(format_coord({1234.5, 0}).latitude, "N1234.30.00.000");  // wider, never cut
}
