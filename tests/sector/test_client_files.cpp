// The files for radar clients and map tools, read back by independent
// readers: a strict sector-file reader written from the public description
// of the format, and GDAL's ogrinfo for GeoJSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "core/ini_file.h"
#include "core/settings.h"
#include "geography/geo_levels.h"
#include "navdb/sqlite_backend.h"
#include "sector/client_files.h"
#include "sector/writer.h"
#include "selected.h"
#include "selection/selection.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

// A sector file as a strict reader takes it: blank lines and ";" comments
// skipped, colours defined before use, every line of the shape of its
// section, every coordinate and number well formed. Returns what it read per
// section (the first field of each line: an ident, or a procedure or airway
// label) and the faults it met.
struct Read {
    std::map<std::string, std::vector<std::string>> items;
    std::vector<std::string> faults;
};

Read strict_read(const std::vector<std::string>& lines) {
    const std::string lat = "[NS]\\d{3}\\.\\d{2}\\.\\d{2}\\.\\d{3}",
                      lon = "[EW]\\d{3}\\.\\d{2}\\.\\d{2}\\.\\d{3}", at = lat + " +" + lon,
                      segment = at + " +" + at, navaid = "\\S+ +\\d{1,3}\\.\\d{3} +" + at;
    // SID, STAR and airway lines are a label, which may have blanks, and a segment.
    const std::map<std::string, std::regex> shapes{
        {"[VOR]", std::regex(navaid)},
        {"[NDB]", std::regex(navaid)},
        {"[AIRPORT]", std::regex(navaid)},
        {"[FIXES]", std::regex("\\S+ +" + at)},
        {"[RUNWAY]", std::regex("\\S+ +\\S+ +\\d{3} +\\d{3} +" + segment + "( +\\S+){2,}")},
        {"[GEO]", std::regex(segment + " +\\S+")}};
    const std::regex other(".*" + segment), colour("#define +(\\S+) +\\d+"),
        centre(lat + "|" + lon);
    Read r;
    std::set<std::string> colours;
    std::string section;
    std::vector<std::string> info;
    for (const std::string& raw : lines) {
        std::string line = raw.substr(0, raw.find(';'));
        line.erase(line.find_last_not_of(' ') + 1);
        std::string first;
        if (!(std::istringstream(line) >> first)) continue;
        std::smatch m;
        const auto shape = shapes.find(section);
        if (first == "#define") {
            if (!std::regex_match(line, m, colour)) r.faults.push_back("colour: " + raw);
            colours.insert(m.size() > 1 ? m[1].str() : "");
        } else if (first.front() == '[') {
            section = line;
        } else if (section == "[INFO]") {
            info.push_back(line);
        } else if (!std::regex_match(line, shape == shapes.end() ? other : shape->second) ||
                   (section == "[GEO]" && !colours.count(line.substr(line.rfind(' ') + 1)))) {
            r.faults.push_back(section + ": " + raw);
        } else {
            r.items[section].push_back(first);
        }
    }
    if (info.size() != 9 || !std::regex_match(info[3], centre) ||
        !std::regex_match(info[4], centre))
        r.faults.push_back("[INFO]: 9 lines, the centre's on lines 4 and 5");
    return r;
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

TEST_F(ClientFiles, AStrictReaderReadsEveryLineAndFindsTheSelection) {
    select_by_airport(ctx, view, "LFPG", 50);
    nav.program_dir = KARVEL_SOURCE_DIR "/runtime";
    if (std::filesystem::exists(nav.program_dir + "/geo/110m_coastline.shp")) {
        ScriptedDialogs dialogs;
        load_geography(nav, 2, dialogs);
    }
    nav.airports[0].freq = "118.150";  // a frequency, where one is known
    for (RUNWAY& r : nav.runways)
        if (r.ident1 == "04") {  // an end with an ILS that points north
            r.heading1 = "0";
            r.ils1 = true;
        }
    SectorFormat format;
    format.client = true;
    format.details = settings.details;
    std::vector<std::string> lines;
    write_sector(lines, nav, {60, view.nm_per_deg_lon}, {"Paris", "LFPG_APP", "LFPG"}, format);
    const Read r = strict_read(lines);
    EXPECT_TRUE(r.faults.empty()) << r.faults.size() << " faults, first: " << r.faults.front();

    std::vector<std::string> vors, runways;
    for (const VOR& v : nav.vors) vors.push_back(v.ident);
    EXPECT_EQ(r.items.at("[VOR]"), vors);
    EXPECT_EQ(r.items.at("[AIRPORT]").size(), nav.airports.size());
    size_t paired = 0;
    for (const RUNWAY& w : nav.runways) paired += w.paired();
    EXPECT_EQ(r.items.at("[RUNWAY]").size(), paired);
    // A heading written on three digits, north as 360, with its airport.
    const std::string lfpo = *std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("06  24  063 243", 0) == 0;
    });
    EXPECT_THAT(lfpo, HasSubstr(" LFPO PARIS ORLY"));
    EXPECT_NE(
        std::find_if(lines.begin(), lines.end(),
                     [](const std::string& l) { return l.rfind("04  22  360 224 ", 0) == 0; }),
        lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[LOW AIRWAY]"), lines.end());

    // The default layout keeps its blank identity lines and empty fields.
    std::vector<std::string> plain;
    write_sector(plain, nav, {60, view.nm_per_deg_lon}, {}, {});
    EXPECT_FALSE(strict_read(plain).faults.empty());
    EXPECT_EQ(std::find(plain.begin(), plain.end(), "[LOW AIRWAY]"), plain.end());
}

// GDAL reads the GeoJSON: as many features of each kind as the sector file
// has objects, and a line across 180 degrees in two parts.
TEST_F(ClientFiles, GeoJsonAsGdalReadsIt) {
    if (std::system("ogrinfo --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no ogrinfo";
    select_by_airport(ctx, view, "LFPG", 50);
    nav.airways.push_back(
        {.name = "A1", .lines = {{"", -17.0, 179.9, -17.2, -179.9, 'L'}}, .selected = true});
    const std::string path = folder.file("lfpg.geojson");
    write_bytes(path, geojson_text(nav, settings.colours, settings.details));
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
    write_sector(lines, nav, {60, view.nm_per_deg_lon}, {});
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
                                              {"star", labelled("[STAR]")}};
    for (const auto& [kind, n] : kinds)
        EXPECT_EQ(count("kind = '" + kind + "'"), static_cast<int>(n)) << kind;
    EXPECT_THAT(run(folder, "ogrinfo -ro -al -where \"name = 'A1'\" '" + path + "'").out,
                ::testing::ContainsRegex("MULTILINESTRING \\(\\(179.9 -17,180(\\.0)? -17.1\\),"
                                         "\\(-180(\\.0)? -17.1,-179.9 -17.2\\)\\)"));
}
