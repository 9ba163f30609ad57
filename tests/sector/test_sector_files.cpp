// The sector file, section by section, its coordinates and the save command;
// the files for radar clients and map tools read back by the checker and by
// GDAL's ogrinfo for GeoJSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "core/error.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "geography/geo_levels.h"
#include "navdb/sqlite_backend.h"
#include "sector/check.h"
#include "sector/client_files.h"
#include "sector/coord.h"
#include "sector/polygons.h"
#include "sector/writer.h"
#include "selected.h"
#include "selection/selection.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

// A selection frame on the plane `scale` with the box `box`.
SelectionFrame framed(PlaneScale scale, GeoBox box = {}) {
    SelectionFrame frame;
    frame.plane = scale;
    frame.box = box;
    return frame;
}

std::vector<std::string> sector(const NavTables& nav,
                                const SelectionFrame& frame = framed({60.0f, 40.0f}),
                                SectorIdentity id = {}) {
    std::vector<std::string> lines;
    write_sector(lines, nav, frame, id);
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
    NavTables nav;
    // Every section header between separators, in order; CR LF line ends.
    const auto lines = sector(nav, framed({60.0f, 40.0f}), {"Secteur \xE9", "LFPG_CTR", "LFPG"});
    const std::string bytes = sector_bytes(lines);
    EXPECT_EQ(bytes, source_file("tests/golden/empty.sct"));
    EXPECT_EQ(sector(nav, framed({60.0f, 39.305f}))[12],
              "39.31");  // rounded, "." whatever the locale
}

// Every section of points, procedures, airways and geography, against
// tests/golden/sections.sct.
TEST(SectorWriter, EverySectionsLayout) {
    NavTables nav;
    // Widths, the south and the west, an unselected fix (not written).
    nav.vors.append({"1", "LGL", "L'AIGLE", "VOR-DME", "", "115.000", 48.790556, 0.53});
    nav.vors.append({"2", "ILST", "", "ILS", "R1", "111.150", 51.5, 0.0625});
    nav.ndbs.append({"3", "OL", "ORLY", "NDB", "", "374.000", 48.75, 2.25});
    nav.ndbs.append({"4", "ABCDEF", "X", "NDB-DME", "", " 9.500", -1, -1});
    nav.waypoints = {{"5", "MOPAR", "MOPAR", 49.6875, 2.8125, true, ""},
                     {"6", "NURMO", "NURMO", 49.3, 2.9, false, ""}};
    nav.airports.append({"7", "LFPG", "PARIS", "", 49.009722, 2.548056, "", ""});
    // The lone end has no line to draw: no runway to 0, 0.
    nav.runways.append({.ident1 = "09",
                        .ident2 = "27",
                        .heading1 = 92,
                        .heading2 = 271.5,
                        .ils2 = true,
                        .lat1 = 49,
                        .lon1 = 2.5,
                        .lat2 = 49.015625,
                        .lon2 = 2.625});
    nav.runways.append({.ident1 = "07R", .heading1 = 70, .ils1 = true, .lat1 = 48.75, .lon1 = 2.1});

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
    nav.geo_lines.push_back(
        {"coast", {{44, 4}, {45.5, 5.5}, {46, 7}, {47, 7}, {44, 5.5}, {47, 5.5}}});
    nav.geo_lines.push_back({"river", {{46, 6}}});
    EXPECT_EQ(sector_bytes(sector(nav, framed({60.0f, 40.0f}, {45, 46, 5, 6}))),
              source_file("tests/golden/sections.sct"));
}

// No line of the client format jumps across the globe: a segment across 180
// degrees is two meeting there, and an end lying on 180 is taken on its
// neighbour's side; the program's own layout keeps its lines as they are.
TEST(SectorWriter, ClientLinesNeverCrossTheAntimeridian) {
    using Parts = std::vector<std::vector<geo_point>>;
    const auto lons = [](const Parts& parts) {
        std::vector<std::vector<double>> out;
        for (const auto& part : parts) {
            out.emplace_back();
            for (const geo_point& p : part) out.back().push_back(p.longitude);
        }
        return out;
    };
    using L = std::vector<std::vector<double>>;
    EXPECT_EQ(lons(split_at_antimeridian({{0, 179}, {0, -179}})), (L{{179, 180}, {-180, -179}}));
    EXPECT_EQ(lons(split_at_antimeridian({{0, -179.5}, {0, 180}})), (L{{-179.5, -180}}));
    EXPECT_EQ(lons(split_at_antimeridian({{0, 180}, {0, -179.5}, {0, 179.5}})),
              (L{{-180, -179.5, -180}, {180, 179.5}}));
    EXPECT_EQ(lons(split_at_antimeridian({{0, -179}, {0, -178}})), (L{{-179, -178}}));

    NavTables nav;
    nav.airways = {route("", "B450", {}, {{"", -17.0, 179.0, -17.0, -179.0}})};
    SectorFormat client;
    client.client = true;
    const SelectionFrame frame = framed({60.0f, 57.0f});
    std::vector<std::string> lines;
    write_sector(lines, nav, frame, {"A", "B", "C"}, client);
    const auto high = std::find(lines.begin(), lines.end(), "[HIGH AIRWAY]");
    ASSERT_NE(high, lines.end());
    EXPECT_THAT(std::vector(high + 1, high + 3),
                ElementsAre(HasSubstr("E179.00.00.000 S017.00.00.000 E180.00.00.000"),
                            HasSubstr("W180.00.00.000 S017.00.00.000 W179.00.00.000")));
    EXPECT_EQ(high[3], ";");
    const auto plain = sector(nav, frame);
    const auto one = std::find(plain.begin(), plain.end(), "[HIGH AIRWAY]") + 1;
    EXPECT_THAT(std::vector(one, one + 2),
                ElementsAre(HasSubstr("E179.00.00.000 S017.00.00.000 W179.00.00.000"), ";"));
}

// A "both runways" transition gives a line for each end of that number,
// written as [RUNWAY] writes it; no field holds the separator.
TEST(CompanionFile, BothRunwaysAndNoSeparatorInAField) {
    NavTables nav;
    nav.runways = {{.id1 = "1", .id2 = "2", .airport_id = "A", .ident1 = "09L", .ident2 = "27R"},
                   {.id1 = "3", .id2 = "4", .airport_id = "A", .ident1 = "09R", .ident2 = "27L"},
                   {.id1 = "5", .id2 = "6", .airport_id = "B", .ident1 = "09C", .ident2 = "27C"},
                   {.id1 = "7", .id2 = "8", .airport_id = "A", .ident1 = "04L", .ident2 = "22R"}};
    nav.waypoints = {{"w1", "AB:C", "", 1, 1, true}, {"w2", "OKIPA", "", 2, 2, true}};
    ROUTE sid{.airport_id = "A", .icao = "LFXX", .name = "OKI 1A", .selected = true};
    sid.transitions = {"RW09B", "rw27l", "RW09X"};
    for (const char* t : {"RW09B", "rw27l", "RW09X"})
        sid.legs.push_back({.transition = t, .wptid = "w1"});
    sid.legs.push_back({.transition = "", .wptid = "w2"});
    sid.legs.push_back({.transition = "", .wptid = "w2"});  // a point told twice: once
    nav.sids = {sid};
    const std::unordered_map<std::string, FIXE> outside{{"w9", {.id = "w9", .ident = "FAR"}}};
    nav.sids[0].legs.push_back({.wptid = "w9"});
    EXPECT_THAT(
        ese_lines(nav, outside),
        ElementsAre("[SIDSSTARS]", "SID:LFXX:09L:OKI1A:ABC OKIPA FAR",
                    "SID:LFXX:09R:OKI1A:ABC OKIPA FAR", "SID:LFXX:27L:OKI1A:ABC OKIPA FAR",
                    "SID:LFXX:09L:OKI1A:ABC OKIPA FAR", "SID:LFXX:09R:OKI1A:ABC OKIPA FAR"));
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

namespace {

// The first word of each line of a section, comments and blank lines left out.
std::vector<std::string> firsts(const std::vector<std::string>& lines, const std::string& header) {
    std::vector<std::string> out;
    for (auto it = std::find(lines.begin(), lines.end(), header); it != lines.end() && ++it != lines.end();) {
        std::string first;
        if (it->front() == '[') break;
        if ((std::istringstream(it->substr(0, it->find(';'))) >> first)) out.push_back(first);
    }
    return out;
}

// The errors the checker finds in the sector file of `lines`.
std::vector<std::string> errors_of(const std::vector<std::string>& lines, const CheckOptions& options) {
    TempDir dir;
    write_bytes(dir.file("c.sct"), sector_bytes(lines));
    std::vector<Finding> found;
    check_sector_file(dir.file("c.sct"), options, found);
    std::vector<std::string> errors;
    for (const Finding& f : found)
        if (f.error) errors.push_back(finding_text(f));
    return errors;
}

struct ClientFiles : ::testing::Test, SampleDatabase, Selected {
    ClientFiles() : Selected(sample_path(), 674) {
        settings.ini.open(KARVEL_SOURCE_DIR "/runtime/karvel_params.ini");
        read_colours(settings);
        read_details(settings);
    }
    Settings settings;
};

}  // namespace

TEST_F(ClientFiles, TheCheckerReadsEveryLineAndFindsTheSelection) {
    select_by_airport(ctx, height, "LFPG", 50);
    const std::string program = KARVEL_SOURCE_DIR "/runtime";
    if (std::filesystem::exists(program + "/geo/110m_coastline.shp")) {
        ScriptedDialogs dialogs;
        load_geography(program, nav.geo_lines, 2, dialogs);
    }
    nav.airports[0].freq = "118.150";  // a frequency, where one is known
    // Names from the data that would open a comment or a section.
    nav.vors[0].ident = " ;X";
    ASSERT_FALSE(nav.airways.empty());
    nav.airways[0].name = "[VOR]";
    // Outlines of the three layers, named with blanks, one with an attribution,
    // one named as a colour is defined.
    const OutlineLayer layers[] = {OutlineLayer::artcc, OutlineLayer::high, OutlineLayer::low};
    for (int i = 0; i < 4; ++i)  // the fourth of the first's layer and source
        nav.outlines.append({.id = std::to_string(i),
                             .name = (i == 3 ? "#define PARIS " : "PARIS ") + std::to_string(i),
                             .layer = layers[i % 3],
                             .source = "zones.txt",
                             .attribution = i % 3 ? "" : "CC BY-SA 4.0",
                             .rings = {{{49, 2}, {49.5, 2.5}, {48.5, 3}}}});
    const MagneticModel model = MagneticModel::read(KARVEL_SOURCE_DIR "/runtime/WMM2025.COF");
    SectorFormat format;
    format.client = true;
    format.details = settings.details;
    format.magnetic = &model;
    format.year = decimal_year({2026, 12, 7});
    // A ground: an area with a hole, a runway, a centreline, a stand, a
    // grass area last.
    nav.ground.airports = {"LFPG"};
    nav.ground.shapes = {
        {.id = "1", .airport = "LFPG", .kind = GroundKind::pavement, .code = 1, .rings = {
            {{49.0, 2.5}, {49.0, 2.52}, {49.01, 2.52}, {49.01, 2.5}},
            {{49.004, 2.505}, {49.006, 2.505}, {49.006, 2.51}}}},
        {.id = "2", .airport = "LFPG", .kind = GroundKind::runway, .code = 1, .rings = {
            {{49.02, 2.5}, {49.02, 2.55}, {49.0205, 2.55}, {49.0205, 2.5}}}},
        {.id = "3", .airport = "LFPG", .kind = GroundKind::line, .code = 1, .rings = {
            {{49.001, 2.5}, {49.001, 2.51}, {49.002, 2.52}}}},
        {.id = "5", .airport = "LFPG", .kind = GroundKind::pavement, .code = 3, .rings = {
            {{49.03, 2.5}, {49.03, 2.51}, {49.035, 2.51}}}}};
    nav.ground.stands = {{.id = "4", .airport = "LFPG", .name = "Poste 1", .latitude = 49.003,
                          .longitude = 2.507}};
    std::vector<std::string> lines;
    write_sector(lines, nav, frame, {"Paris", "LFPG_APP", "LFPG"}, format);
    // Every line as a client reads it, each heading the magnetic one.
    const auto errors = errors_of(lines, {&model, format.year});
    EXPECT_TRUE(errors.empty()) << errors.size() << " errors, first: " << errors.front();
    std::vector<std::string> vors;
    for (const VOR& v : nav.vors) vors.push_back(v.ident);
    vors[0] = "_X";
    EXPECT_EQ(firsts(lines, "[VOR]"), vors);
    EXPECT_EQ(firsts(lines, "[AIRPORT]").size(), nav.airports.size());
    size_t paired = 0;
    for (const RUNWAY& w : nav.runways) paired += w.paired();
    EXPECT_EQ(firsts(lines, "[RUNWAY]").size(), paired);
    // Paris lies about 2 degrees east of magnetic north: the variation is
    // West positive.
    const double variation =
        std::stod(lines[std::find(lines.begin(), lines.end(), "[INFO]") - lines.begin() + 8]);
    EXPECT_TRUE(variation < -1.7 && variation > -2.7) << variation;
    const std::string lfpo = *std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("06  24  ", 0) == 0;
    });
    EXPECT_THAT(lfpo, HasSubstr(" LFPO PARIS ORLY"));
    for (const char* header : {"[ARTCC]", "[ARTCC HIGH]", "[ARTCC LOW]"})  // each edge
        EXPECT_EQ(firsts(lines, header).size(), header == std::string("[ARTCC]") ? 6u : 3u) << header;
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("_#define PARIS 3 "); }),
              3);
    EXPECT_THAT(firsts(lines, "[LABELS]"), ElementsAre("\"Poste"));

    // An end due north of the other: with the declination east, its heading
    // is less than 360 (never below 0); without it, 360 (0 would mean no
    // centreline). Its extended centreline runs south, away from the runway.
    const RUNWAY* north_end = nullptr;
    for (RUNWAY& w : nav.runways)
        if (w.ident1 == "04") w.lat2 = w.lat1 + 0.02, w.lon2 = w.lon1, north_end = &w;
    ASSERT_NE(north_end, nullptr);
    format.centrelines_nm = 10;
    const auto starting = [](const std::vector<std::string>& written, const std::string& head) {
        return std::find_if(written.begin(), written.end(),
                            [&](const std::string& l) { return l.rfind(head, 0) == 0; });
    };
    for (const bool declination : {true, false}) {
        format.magnetic = declination ? &model : nullptr;
        std::vector<std::string> north;
        write_sector(north, nav, frame, {"Paris", "LFPG_APP", "LFPG"}, format);
        const auto line = starting(north, "04  22  ");
        ASSERT_NE(line, north.end());
        EXPECT_THAT(*line, ::testing::StartsWith(declination ? "04  22  35" : "04  22  360 180 "));
        std::string threshold;
        append_position(threshold, north_end->lat1, north_end->lon1);
        const auto out = std::find_if(north.begin(), north.end(), [&](const std::string& l) {
            return l.ends_with(" centreline") && l.find(" " + threshold + " ") != l.npos;
        });
        ASSERT_NE(out, north.end());
        const std::string to = out->substr(out->find(threshold) + threshold.size() + 1, 14);
        EXPECT_LT(to, threshold.substr(0, 14)) << *out;
    }
}

// GDAL reads the GeoJSON: as many features of each kind as the sector file
// has objects, and a line across 180 degrees in two parts.
TEST_F(ClientFiles, GeoJsonAsGdalReadsIt) {
    if (std::system("ogrinfo --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no ogrinfo";
    select_by_airport(ctx, height, "LFPG", 50);
    nav.airways.append({.name = "A1",
                        .lines = {{"", -17.0, 179.9, -17.2, -179.9, AirwayLevel::low}},
                        .selected = true});
    nav.outlines.append({.id = "1",
                         .name = "NFFF",
                         .kind = "FIR",
                         .rings = {{{-16, 179}, {-16, -179}, {-18, -179}, {-18, 179}}}});
    nav.outlines.append({.id = "2",
                         .name = "TROU",
                         .rings = {{{0, 0}, {0, 4}, {4, 4}, {4, 0}}, {{1, 1}, {1, 2}, {2, 2}}}});
    // A ground: an area with its hole, a hold line, a stand.
    nav.ground.shapes = {
        {.id = "g1", .airport = "LFPG", .kind = GroundKind::pavement, .code = 2, .name = "Aire",
         .rings = {{{49.0, 2.5}, {49.0, 2.52}, {49.01, 2.52}, {49.01, 2.5}},
                   {{49.004, 2.505}, {49.006, 2.505}, {49.006, 2.51}}}},
        {.id = "g2", .airport = "LFPG", .kind = GroundKind::line, .code = 4,
         .rings = {{{49.001, 2.5}, {49.001, 2.51}}}}};
    nav.ground.stands = {{.id = "g3", .airport = "LFPG", .name = "A \"1\" \\B", .latitude = 49.003,
                          .longitude = 2.507}};
    // A coast in the box, out of it, in again: two runs. A frequency below
    // 10 MHz, written without its padding.
    const double lat0 = frame.centre_lat, lon0 = frame.centre_lon;
    nav.geo_lines.push_back({"coast", {{lat0, lon0}, {lat0 + 0.1, lon0}, {lat0 + 5, lon0},
                                       {lat0 + 6, lon0}, {lat0 + 0.2, lon0}, {lat0 + 0.3, lon0}}});
    nav.vors[0].freq = " 9.500";
    const std::string path = folder.file("lfpg.geojson");
    write_bytes(path, geojson_text(nav, frame.box, settings.colours, settings.details));
    std::vector<size_t> runs;
    std::string frequency;
    const nlohmann::json doc = nlohmann::json::parse(read_bytes(path));
    for (const auto& f : doc["features"]) {
        if (f["properties"]["kind"] == "coast") runs.push_back(f["geometry"]["coordinates"].size());
        if (f["properties"]["kind"] == "vor" && f["properties"]["ident"] == nav.vors[0].ident)
            frequency = f["properties"]["frequency"];
    }
    EXPECT_THAT(runs, ElementsAre(3u, 3u));
    EXPECT_EQ(frequency, "9.500");
    auto count = [&](const std::string& where) {
        const std::string out =
            run(folder, "ogrinfo -ro -so -al -where \"" + where + "\" '" + path + "'").out;
        std::smatch m;
        return std::regex_search(out, m, std::regex("Feature Count: (\\d+)")) ? std::stoi(m[1])
                                                                              : -1;
    };
    size_t segments = 0, paired = 0, ils = 0;
    for (const ROUTE& a : nav.airways) segments += a.lines.size();
    for (const RUNWAY& r : nav.runways) paired += r.paired();
    for (const VOR& v : nav.vors) ils += v.desc == "ILS";
    // A feature per transition, as the sector file labels one line per transition.
    std::vector<std::string> lines;
    write_sector(lines, nav, frame, {});
    const auto labelled = [&](const std::string& header) {
        size_t n = 0;
        for (auto it = std::find(lines.begin(), lines.end(), header) + 1; *it != ";"; ++it)
            n += (*it)[0] != ' ';
        return n;
    };
    const std::map<std::string, size_t> kinds{{"airport", nav.airports.size()},
                                              {"vor", nav.vors.size() - ils},
                                              {"ils", ils},
                                              {"ndb", nav.ndbs.size()},
                                              {"fix", nav.waypoints.size()},
                                              {"runway", paired},
                                              {"airway", segments},
                                              {"sid", labelled("[SID]")},
                                              {"star", labelled("[STAR]")},
                                              {"ground", 1},
                                              {"groundline", 1},
                                              {"stand", 1}};
    for (const auto& [kind, n] : kinds)
        EXPECT_EQ(count("kind = '" + kind + "'"), static_cast<int>(n)) << kind;
    EXPECT_THAT(run(folder, "ogrinfo -ro -al -where \"kind = 'outline'\" '" + path + "'").out,
                ::testing::ContainsRegex("MULTIPOLYGON \\(\\(\\(179 -18,180(\\.0)? -18,"
                                         "180(\\.0)? -16,179 -16,179 -18\\)\\),"
                                         "\\(\\(-180(\\.0)? -18,-179 -18"));
    EXPECT_THAT(run(folder, "ogrinfo -ro -al -where \"kind = 'ground'\" '" + path + "'").out,
                ::testing::ContainsRegex("POLYGON \\(\\(2.5 49(\\.0)?,2.52 49(\\.0)?,2.52 49.01,"
                                         "2.5 49.01,2.5 49(\\.0)?\\),\\(2.505 49.004,2.505 "
                                         "49.006,2.51 49.006,2.505 49.004\\)\\)"));
    // A ring inside another is its hole, turning the other way.
    EXPECT_THAT(run(folder, "ogrinfo -ro -al -where \"name = 'TROU'\" '" + path + "'").out,
                HasSubstr("POLYGON ((0 0,4 0,4 4,0 4,0 0),(2 2,2 1,1 1,2 2))"));
    EXPECT_THAT(run(folder, "ogrinfo -ro -al -where \"name = 'A1'\" '" + path + "'").out,
                ::testing::ContainsRegex("MULTILINESTRING \\(\\(179.9 -17,180(\\.0)? -17.1\\),"
                                         "\\(-180(\\.0)? -17.1,-179.9 -17.2\\)\\)"));
}

// A boundary that runs along 180 degrees, then crosses it: each side's
// polygon keeps its own part, with no spike of no width along the meridian.
TEST(OutlinePolygons, AnEdgeAlong180StaysOnItsSide) {
    const auto polygons = outline_polygons(
        {{{3.5, 170}, {3.5, 180}, {-5, 180}, {-5, -171}, {-25, -175}, {-25, 171}}});
    ASSERT_EQ(polygons.size(), 2u);
    const Ring& west = polygons[1][0];
    EXPECT_EQ(west.size(), 5u);  // its four corners and the first again
    for (const geo_point& p : west) EXPECT_NE(p.latitude, 3.5);
    EXPECT_EQ(polygons[0][0].size(), 5u);  // the east side: its run along 180 in one edge

    // Round the south pole from near 180, a step east across it first: the
    // outline spans three sides of the meridian, and keeps its part past
    // 180 W.
    const auto pole = outline_polygons(
        {{{-60, 179.5}, {-61, -179.5}, {-60, 90}, {-60, 0}, {-60, -90}, {-60, 179}}});
    ASSERT_EQ(pole.size(), 3u);
    EXPECT_THAT(pole[2][0], ::testing::Contains(::testing::Field(&geo_point::longitude, -179.5)));

    // An island in a lake: a ring in a hole is an outline again, of its own.
    const auto square = [](double half) {
        return t_point{{-half, -half}, {-half, half}, {half, half}, {half, -half}};
    };
    const auto nested = outline_polygons({square(3), square(2), square(1)});
    ASSERT_EQ(nested.size(), 2u);
    EXPECT_EQ(nested[0].size(), 2u);  // the land round the lake, the lake its hole
    EXPECT_EQ(nested[1].size(), 1u);  // the island
    EXPECT_EQ(nested[1][0][0].latitude, -1);
    // The same among a hundred lakes, found through their neighbours.
    std::vector<t_point> lakes{square(30)};
    const auto at = [](double lat, double lon, double half) {
        return t_point{{lat - half, lon - half},
                       {lat - half, lon + half},
                       {lat + half, lon + half},
                       {lat + half, lon - half}};
    };
    for (int k = 0; k < 100; ++k) lakes.push_back(at(-27 + 6 * (k / 10), -27 + 6 * (k % 10), 2));
    lakes.push_back(at(-27 + 6 * 9, -27 + 6 * 9, 1));  // in the last lake
    const auto hundred = outline_polygons(lakes);
    ASSERT_EQ(hundred.size(), 2u);
    EXPECT_EQ(std::pair(hundred[0].size(), hundred[1].size()), std::pair(101ul, 1ul));
}
