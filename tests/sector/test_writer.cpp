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

// Every section of points, procedures, airways and geography, against
// tests/golden/sections.sct.
TEST(SectorWriter, EverySectionsLayout) {
    NavState nav;
    nav.version_caption = "karvel 1.6";
    // Widths, the south and the west, an unselected fix (not written).
    nav.vors.push_back({"1", "LGL", "L'AIGLE", "VOR-DME", "", "115.000", 48.790556, 0.53});
    nav.vors.push_back({"2", "ILST", "", "ILS", "R1", "111.150", 51.5, 0.0625});
    nav.ndbs.push_back({"3", "OL", "ORLY", "NDB", "", "374.000", 48.75, 2.25});
    nav.ndbs.push_back({"4", "ABCDEF", "X", "NDB-DME", "", " 9.500", -1, -1});
    nav.waypoints = {{"5", "MOPAR", "MOPAR", 49.6875, 2.8125, true, ""},
                     {"6", "NURMO", "NURMO", 49.3, 2.9, false, ""}};
    nav.airports.push_back({"7", "LFPG", "PARIS", "", 49.009722, 2.548056, "", ""});
    // The lone end has no line to draw: no runway to 0, 0.
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

    // Transitions A (segments 1-3) and B (4-6): 3 joins A to B and is taken
    // out; 6, the last LINE, is never written. TWO's first transition writes
    // nothing: that must not remove ONE's line.
    nav.sids = {route("LFPG", "OPALE 1A", {"A", "B"},
                      {seg("A", 1, 2), seg("A", 2, 3), seg("A", 3, 4), seg("B", 4, 5),
                       seg("B", 5, 6), seg("B", 6)}),
                route("LFAA", "ONE", {""}, {seg("", 1, 2), seg("", 2)}),
                route("LFAA", "TWO", {"N", "M"}, {seg("M", 3, 4), seg("M", 4)})};
    // A STAR whose first transition has no segment (its header stays), one
    // differing in case and one unselected (nothing), a long label (never cut).
    nav.stars = {
        route("LFPG", "EMPTY 1", {"X", "Y"}, {seg("Y", 7, 8), seg("Y", 8)}),
        route("LFPG", "CASE 2", {"rw26"}, {seg("RW26", 1, 2), seg("RW26", 2)}),
        route("LFPG", "OFF 3", {""}, {seg("", 1, 2), seg("", 2)}, false),
        route("LFPG", "A VERY LONG NAME", {"RW27L"}, {seg("RW27L", 1, 2), seg("RW27L", 2)})};

    // Airways: whole, empty, not exported.
    nav.airways = {route("", "UN863", {}, {seg("", 1, 2), seg("", 2, 3)}),
                   route("", "EMPTY", {}, {}), route("", "UL612", {}, {seg("", 5, 6)}, false)};
    // Geography: in, on the box's edge, crossing it with both ends out (not
    // written), out.
    nav.box_lat_min = 45, nav.box_lat_max = 46, nav.box_lon_min = 5, nav.box_lon_max = 6;
    nav.geo_lines.push_back(
        {"coast", {{44, 4}, {45.5, 5.5}, {46, 7}, {47, 7}, {44, 5.5}, {47, 5.5}}});
    nav.geo_lines.push_back({"river", {{46, 6}}});
    EXPECT_EQ(sector_bytes(sector(nav)), source_file("tests/golden/sections.sct"));
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
