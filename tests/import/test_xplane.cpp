// X-Plane navigation data imported into a karvel database, then selected
// with the program's own selection code; the errors that name file and line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>

#include "core/error.h"
#include "core/geometry.h"
#include "import/database_writer.h"
#include "import/places.h"
#include "navdb/sqlite_backend.h"
#include "procedures/leg_lists.h"
#include "sector/writer.h"
#include "selection/selection.h"
#include "selected.h"
#include "support.h"

using namespace karvel;
using karvel::test::RecordingView;
using karvel::test::Selected;
using karvel::test::TempDir;
using karvel::test::write_bytes;

namespace {

void write_gzip(const std::string& path, const std::string& text) {
    gzFile f = gzopen(path.c_str(), "wb");
    gzwrite(f, text.data(), static_cast<unsigned>(text.size()));
    gzclose(f);
}

// One airport (two runways, an ILS at both ends of one), its navaids, fixes
// and a two-segment airway, in the older and the newer versions: the files
// of tests/import/data/old and new.
struct Fixture {
    const char* name;
    const char* folder;
    const char* cycle;
    std::string file(const char* name) const {
        return karvel::test::source_file(std::string("tests/import/data/") + folder + "/" + name);
    }
};

const Fixture kOld{"FlightGear's versions", "old", "1310"};
const Fixture kNew{"X-Plane 11/12 versions", "new", "1802"};

void PrintTo(const Fixture& f, std::ostream* os) {
    *os << f.name;
}

struct ImportTest : ::testing::TestWithParam<Fixture> {
    void write_set(const Fixture& f) {
        write_gzip(dir.file("apt.dat.gz"), f.file("apt.dat"));
        write_bytes(dir.file("nav.dat"), f.file("nav.dat"));
        write_bytes(dir.file("fix.dat"), f.file("fix.dat"));
        write_gzip(dir.file("awy.dat.gz"), f.file("awy.dat"));
    }
    xplane::NavData read_set() {
        xplane::NavData d;
        xplane::read_apt(dir.file("apt.dat.gz"), d);
        xplane::read_nav(dir.file("nav.dat"), d);
        xplane::read_fix(dir.file("fix.dat"), d);
        xplane::read_awy(dir.file("awy.dat.gz"), d);
        return d;
    }
    TempDir dir;
};

}  // namespace

TEST_P(ImportTest, ImportedDataSelectsLikeAnyDatabase) {
    write_set(GetParam());
    const xplane::NavData data = read_set();
    xplane::write_database(data, dir.file("out.sqlite"), [](const std::string&) {});

    Selected db(dir.file("out.sqlite"));
    const NavState& nav = db.airport("LFXX", 30);

    ASSERT_EQ(nav.airports.size(), 1u);
    EXPECT_EQ(nav.airports[0].name, "Essai Ville");
    // Both runways pair (the "23" end took the side letter "L"), ILS on 09 and 27.
    ASSERT_EQ(nav.runways.size(), 2u);
    EXPECT_EQ(nav.runways[0].ident1 + "/" + nav.runways[0].ident2, "09/27");
    EXPECT_TRUE(nav.runways[0].ils1 && nav.runways[0].ils2);
    EXPECT_EQ(nav.runways[0].heading1, "90");  // due east along the parallel
    EXPECT_EQ(nav.runways[1].ident1 + "/" + nav.runways[1].ident2, "05R/23L");
    // The VOR-DME once (its DME is its own), the NDB, the lone DME; the localisers.
    std::vector<std::string> vors;
    for (const VOR& v : nav.vors) vors.push_back(v.ident + " " + v.freq + " " + v.desc);
    EXPECT_EQ(vors,
              (std::vector<std::string>{"XDM 110.200 DME", "XVR 115.350 VOR-DME", "IXA 110.300 ILS",
                                        "IXB 109.900 ILS"}));  // by latitude, then the ILS
    ASSERT_EQ(nav.ndbs.size(), 1u);
    EXPECT_EQ(nav.ndbs[0].freq, "374.000");
    EXPECT_EQ(nav.waypoints.size(), 3u);  // the two fixes and the VOR as an airway end
    for (const FIXE& f : nav.waypoints)
        EXPECT_FALSE(f.name.empty()) << f.ident;  // the list shows it
    // Two airways through the VOR: UN1 with both segments, UL2 with one.
    ASSERT_EQ(nav.airways.size(), 2u);
    EXPECT_EQ(nav.airways[0].name, "UN1");
    EXPECT_EQ(nav.airways[0].lines.size(), 2u);
    EXPECT_EQ(nav.airways[1].lines.size(), 1u);
    EXPECT_DOUBLE_EQ(nav.airways[0].lines[0].lat2, 48.95);
    // The cycle and the region of the lookups.
    db.q.set_sql({"select val from config where key='CycleName'"});
    db.q.open();
    EXPECT_EQ(db.q.as_text("val"), GetParam().cycle);
    db.q.close();
    Selected other(dir.file("out.sqlite"));
    const NavState& region = other.region("LF");
    EXPECT_EQ(region.airports.size(), 1u);
    EXPECT_EQ(region.waypoints.size(), 3u);  // the two fixes and the VOR as an airway end
}

INSTANTIATE_TEST_SUITE_P(Versions, ImportTest, ::testing::Values(kOld, kNew),
                         [](const auto& info) { return info.index == 0 ? "Old" : "New"; });

// What the world's data holds and the sample does not: runway numbers
// without their leading zero, true-heading and lettered ends, runways named
// by letters; airports either side of 180 degrees; an airway segment listed
// once a level, its end a hair away from the fix it names.
TEST(ImportRealWorld, OddIdentsTheAntimeridianAndAirwaysListedTwice) {
    TempDir dir;
    const std::string head = "I\n1000 Version - data cycle 2013.10\n";
    auto runway = [](const char* a, const char* lat, const char* lon1, const char* b,
                     const char* lon2) {
        return std::string("100 45.0 1 0 0.25 1 3 1 ") + a + " " + lat + " " + lon1 +
               " 0 0 3 7 1 1 " + b + " " + lat + " " + lon2 + " 0 0 3 7 1 1\n";
    };
    write_bytes(dir.file("apt.dat"),
                head + "1 10 1 0 NFXX Est\n" + runway("7R", "-17.00", "179.94", "25L", "179.96") +
                    runway("9", "-17.01", "179.94", "27", "179.96") +
                    runway("08T", "-17.02", "179.94", "26T", "179.96") +
                    runway("N", "-17.03", "179.94", "S", "179.96") + "1 10 1 0 NFYY Ouest\n" +
                    runway("09", "-17.10", "-179.96", "27", "-179.94") + "99\n");
    write_bytes(dir.file("nav.dat"),
                "I\n810 Version\n"
                "4 -17.00 179.97 0 11030 18 250.0 IXR NFXX 7R ILS-cat-I\n99\n");
    write_bytes(dir.file("fix.dat"),
                "I\n600 Version\n-17.05 -179.90 FIXA\n-16.90 179.90 FIXB\n99\n");
    write_bytes(dir.file("awy.dat"),
                "I\n640 Version\n"
                "FIXA -17.0500008 -179.9000008 FIXB -16.90 179.90 1 100 460 A1\n"
                "FIXA -17.05 -179.90 FIXB -16.90 179.90 2 100 460 A1\n99\n");
    xplane::NavData data;
    xplane::read_apt(dir.file("apt.dat"), data);
    xplane::read_nav(dir.file("nav.dat"), data);
    xplane::read_fix(dir.file("fix.dat"), data);
    xplane::read_awy(dir.file("awy.dat"), data);
    const std::string out = dir.file("out.sqlite");
    xplane::write_database(data, out, [](const std::string&) {});

    Selected db(out);
    const NavState& nav = db.airport("NFXX", 30);
    ASSERT_EQ(nav.airports.size(), 2u);  // NFYY lies east of 180, 6 nm away
    std::vector<std::string> runways;
    for (const RUNWAY& r : nav.runways)
        runways.push_back(r.ident1 + "/" + r.ident2 + (r.ils1 ? " ILS" : ""));
    std::sort(runways.begin(), runways.end());
    // The localiser's "7R" is the runway's 07R.
    EXPECT_EQ(runways,
              (std::vector<std::string>{"07R/25L ILS", "08T/26T", "09/27", "09/27", "N/", "S/"}));
    EXPECT_EQ(nav.waypoints.size(), 2u);  // the airway's ends are the fixes
    ASSERT_EQ(nav.airways.size(), 1u);
    ASSERT_EQ(nav.airways[0].lines.size(), 1u);  // one segment for both levels
    EXPECT_EQ(nav.airways[0].lines[0].lon1, -179.90);
    EXPECT_EQ(nav.airways[0].lines[0].level, 'B');  // listed at both levels

    std::vector<std::string> lines;
    write_sector(lines, nav, {60, db.view.nm_per_deg_lon}, {});
    size_t at = std::find(lines.begin(), lines.end(), "[RUNWAY]") - lines.begin();
    std::vector<std::string> written;
    while (lines[++at] != ";") written.push_back(lines[at].substr(0, 16));
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"07R 25L 90  000 ", "08T 26T 000 000 ",
                                                 "09  27  000 000 ", "09  27  000 000 "}));
    for (const std::string& l : lines) EXPECT_EQ(l.find("000.00.00.000 "), std::string::npos) << l;

    // Imported again over a file of restricted mode: the mode stays. A
    // failure halfway (a procedure file gone) leaves the old file whole and
    // nothing else behind.
    ::chmod(out.c_str(), 0640);
    xplane::write_database(data, out, [](const std::string&) {});
    struct stat st {};
    ::stat(out.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    const std::string before = karvel::test::read_bytes(out);
    data.cifp_files = {{"NFXX", dir.file("gone.dat")}};
    EXPECT_THROW(xplane::write_database(data, out, [](const std::string&) {}), Error);
    EXPECT_EQ(karvel::test::read_bytes(out), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5);
}

namespace {

// One SID: or STAR: row of a CIFP file: the fields a leg uses, the others blank.
struct Row {
    const char *seq, *type, *name, *transition;
    const char* fix = "";     // "ident,region,section,subsection"
    const char* code = "TF";  // path terminator
    const char* navaid = "";  // likewise
    const char *theta = "", *rho = "", *course = "", *distance = "", *turn = "";
};

std::string cifp_row(const char* record, const Row& r) {
    std::vector<std::string> f(38, " ");
    auto place = [&](size_t at, const char* ref) {
        std::string s = ref;
        for (size_t i = at; !s.empty(); ++i) {
            const size_t comma = s.find(',');
            f[i] = s.substr(0, comma);
            s = comma == std::string::npos ? "" : s.substr(comma + 1);
        }
    };
    f[0] = r.seq, f[1] = r.type, f[2] = r.name, f[3] = r.transition;
    place(4, r.fix);
    place(13, r.navaid);
    f[9] = *r.turn ? r.turn : " ", f[11] = r.code;
    f[18] = r.theta, f[19] = r.rho, f[20] = r.course, f[21] = r.distance;
    std::string line = std::string(record) + ":";
    for (size_t i = 0; i < f.size(); ++i) line += (i ? "," : "") + f[i];
    return line + ";\n";
}

}  // namespace

// A SID with runway transitions for two runways, a common route and an
// en-route transition; a STAR flown from its en-route part to the runway.
TEST(ImportProcedures, CifpSidsAndStarsAreDrawnAlongTheirLegs) {
    TempDir dir;
    xplane::NavData data;
    write_gzip(dir.file("apt.dat.gz"), kNew.file("apt.dat"));
    write_bytes(dir.file("nav.dat"), kNew.file("nav.dat"));
    // XX501 is LFXX's terminal fix; the en-route fix of the same name lies nearer.
    write_bytes(dir.file("fix.dat"),
                "I\n1101 Version - data cycle 1802\n"
                "48.95 002.30 FIXA ENRT LF 2105430\n48.97 002.50 FIXB ENRT LF 2105430\n"
                "48.91 002.42 XX501 ENRT LF 2105430\n49.00 002.45 XX501 LFXX LF 4\n99\n");
    std::string cifp = "RWY:RW27,      ,      ,00392, ,IXB ,1,   ;N48540000,E002273600,0000;\n";
    const char* const vor = "XVR,LF,D, ";
    for (const Row& r : std::initializer_list<Row>{
             {"010", "1", "XVR1A", "RW27", "", "CD", vor, "", "", "2700", "0050"},
             {"020", "1", "XVR1A", "RW27", "", "VI", "", "", "", "3450"},
             {"030", "1", "XVR1A", "RW27", "FIXA,LF,E,A", "CF", vor, "2700", "0059", "2700",
              "0011"},
             {"010", "1", "XVR1A", "RW23L", "", "VA", "", "", "", "2300"},
             {"010", "2", "XVR1A", "ALL", "FIXA,LF,E,A", "FD", "XDM,LF,D, ", "", "", "0000",
              "0100"},
             {"020", "2", "XVR1A", "ALL", "", "CI", "", "", "", "0900"},
             {"030", "2", "XVR1A", "ALL", "XX501,LF,P,C", "AF", vor, "0000", "0030", "2700", "",
              "R"},
             {"010", "3", "XVR1A", "FIXB", "XX501,LF,P,C", "IF"},
             {"020", "3", "XVR1A", "FIXB", "FIXB,LF,E,A", "TF"}})
        cifp += cifp_row("SID", r);
    cifp += cifp_row("APPCH", {"010", "A", "I09", "FIXA", "FIXA,LF,E,A", "IF"});
    for (const Row& r : std::initializer_list<Row>{
             {"010", "1", "FIXB1X", "FIXA", "FIXA,LF,E,A", "IF"},
             {"020", "1", "FIXB1X", "FIXA", "FIXB,LF,E,A", "TF"},
             {"010", "2", "FIXB1X", "ALL", vor, "TF"},
             {"020", "2", "FIXB1X", "ALL", "XX501,LF,P,C", "CF", "", "", "", "005T"},
             {"010", "3", "FIXB1X", "RW09", "RW09,LF,P,G", "TF"}})
        cifp += cifp_row("STAR", r);
    write_gzip(dir.file("LFXX.dat.gz"), cifp);
    xplane::read_apt(dir.file("apt.dat.gz"), data);
    xplane::read_nav(dir.file("nav.dat"), data);
    xplane::read_fix(dir.file("fix.dat"), data);
    data.cifp_files = {{"LFXX", dir.file("LFXX.dat.gz")}};  // read while the database is written
    xplane::write_database(data, dir.file("out.sqlite"), [](const std::string&) {});

    Selected db(dir.file("out.sqlite"));
    const NavState& nav = db.airport("LFXX", 30);

    ASSERT_EQ(nav.sids.size(), 2u);  // one per runway transition
    ASSERT_EQ(nav.stars.size(), 1u);
    EXPECT_EQ(nav.sids[0].name, "XVR1A");
    EXPECT_EQ(nav.sids[0].transitions, (std::vector<std::string>{"RW27", "", "FIXB"}));
    EXPECT_EQ(nav.sids[1].transitions, (std::vector<std::string>{"RW23L", "", "FIXB"}));
    EXPECT_DOUBLE_EQ(nav.sids[0].rwy_lat, 48.90);  // the 27 threshold, where the CD leg starts
    EXPECT_DOUBLE_EQ(nav.sids[0].rwy_lon, 2.46);
    EXPECT_DOUBLE_EQ(nav.sids[1].rwy_lat, 48.92);
    // Tenths of degrees and miles, the navaid named.
    EXPECT_EQ(leg_item(nav, nav.sids[0].legs[2]),
              "CF FIXA  navaid:XVR    6nm 270\xB0    1nm  transition:RW27");
    EXPECT_EQ(leg_item(nav, nav.stars[0].legs[3]), "CF XX501      5\xB0   transition:");  // 5 true

    // The path in the plane the selection set: XVR at the origin, the 27
    // threshold 3 nm south of it, FIXA on its 270 radial.
    const double k = db.view.nm_per_deg_lon, tan15 = std::tan(15 * M_PI / 180);
    struct P {
        double lat, lon;
    };
    const std::vector<P> sid{
        {48.90, 2.45 - 4 / k},                 // CD: DME 5 crossed on the 270 course
        {48.95, 2.45 + (-4 - 3 * tan15) / k},  // VI 345 meets the CF course line
        {48.95, 2.30},                         // CF to FIXA
        {48.80 + 10 / 60.0, 2.30},             // FD: DME 10 from XDM, due north
        {48.80 + 10 / 60.0, 2.45},             // CI 090 meets the AF's radial 000
        {49.00, 2.45},                         // AF ends at the terminal XX501
        {49.00, 2.45},                         // IF XX501
        {48.97, 2.50}};                        // TF FIXB
    const std::vector<P> star{
        {48.95, 2.30}, {48.97, 2.50}, {48.95, 2.45}, {49.00, 2.45}, {48.90, 2.40}};
    auto expect_path = [](const ROUTE& r, const std::vector<P>& points) {
        ASSERT_EQ(r.lines.size(), points.size()) << r.name;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(r.lines[i].lat1, points[i].lat, 1e-9) << r.name << " point " << i;
            EXPECT_NEAR(r.lines[i].lon1, points[i].lon, 1e-9) << r.name << " point " << i;
        }
    };
    expect_path(nav.sids[0], sid);
    expect_path(nav.sids[1], std::vector<P>(sid.begin() + 3, sid.end()));  // VA draws nothing
    expect_path(nav.stars[0], star);
}

TEST(ImportErrors, NameTheFileAndTheLineAndLeaveNoDatabase) {
    TempDir dir;
    auto message = [&](const std::string& file, const std::string& text, auto read) {
        write_bytes(dir.file(file), text);
        xplane::NavData d;
        try {
            read(dir.file(file), d);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    const std::string version = message("nav.dat", "I\n900 Version\n99\n", xplane::read_nav);
    EXPECT_NE(version.find("nav.dat"), std::string::npos) << version;
    EXPECT_NE(version.find("version 900"), std::string::npos) << version;
    const std::string row =
        message("fix.dat", "I\n600 Version\n48.1 2.1 A\nnord 2.2 B\n", xplane::read_fix);
    EXPECT_NE(row.find("fix.dat\", ligne 4 : latitude"), std::string::npos) << row;
    const std::string shortrow =
        message("apt.dat", "I\n1000 Version\n1 10 1 0 LFXX X\n100 45 1 0\n", xplane::read_apt);
    EXPECT_NE(shortrow.find("ligne 4"), std::string::npos) << shortrow;
    auto cifp = [&](const std::string& text) {
        return message("LFXX.dat", text, [](const std::string& path, xplane::NavData& d) {
            xplane::read_cifp(path, "LFXX", d.procedures);
        });
    };
    const std::string cut = cifp("SID:010,1,XVR1A,RW27,,,,,,,,CA,,,,,,,,,2700" +
                                 std::string(16, ',') + ";\nSID:020,1,XVR1A,RW27,FIXA;\n");
    EXPECT_NE(cut.find("LFXX.dat\", ligne 2 : ligne incompl"), std::string::npos) << cut;
    const std::string course =
        cifp("STAR:010,1,ABC1A,ABC,,,,,,,,CA,,,,,,,,,27O0" + std::string(16, ',') + ";\n");
    EXPECT_NE(course.find("ligne 1 : cap : \"27O0\""), std::string::npos) << course;

    // A gzip file cut short.
    std::string rows;
    for (int i = 0; i < 20000; ++i) rows += "48.1 2.1 FIX" + std::to_string(i) + "\n";
    write_gzip(dir.file("cut.gz"), "I\n600 Version\n" + rows);
    std::string bytes = karvel::test::read_bytes(dir.file("cut.gz"));
    write_bytes(dir.file("cut.gz"), bytes.substr(0, bytes.size() / 2));
    xplane::NavData d;
    try {
        xplane::read_fix(dir.file("cut.gz"), d);
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("tronqu"), std::string::npos) << e.what();
    }
}

// The region of the nearest airport, found ring by ring where airports are
// many and airport by airport where they are few, across 180 degrees too.
TEST(ImportNumbers, TheNearestAirportsRegion) {
    std::vector<xplane::AirportRec> airports;
    std::vector<std::string> regions;
    for (int i = 0; i < 400; ++i) {  // a band of airports every 0.9 degrees
        xplane::AirportRec a;
        a.lat = -20 + (i % 20) * 0.9 + (i % 7) * 0.01;
        a.lon = 170 + (i / 20) * 0.9;
        if (a.lon > 180) a.lon -= 360;
        airports.push_back(a);
        regions.push_back(std::to_string(i));
    }
    const xplane::NearestRegion many(airports, regions);
    const std::vector<xplane::AirportRec> one(airports.begin(), airports.begin() + 1);
    const xplane::NearestRegion few(one, regions);
    for (const auto& [lat, lon] : std::initializer_list<std::pair<double, double>>{
             {-15.02, 179.97}, {-15.02, -179.98}, {-1.0, -175.0}, {40, 10}, {-19.3, 171.1}}) {
        size_t best = 0;
        for (size_t i = 1; i < airports.size(); ++i)
            if (great_circle_nm(lat, lon, airports[i].lat, airports[i].lon) <
                great_circle_nm(lat, lon, airports[best].lat, airports[best].lon))
                best = i;
        EXPECT_EQ(many(lat, lon), regions[best]) << lat << " " << lon;
        EXPECT_EQ(few(lat, lon), "0");
    }
}

TEST(ImportNumbers, FrequenciesAndGeometry) {
    EXPECT_EQ(xplane::karvel_frequency(115.35), 0x1153500);
    EXPECT_EQ(xplane::karvel_frequency(374), 0x3740000);
    EXPECT_NEAR(initial_bearing(0, 0, 1, 0), 0, 1e-9);
    EXPECT_NEAR(initial_bearing(0, 0, 0, 1), 90, 1e-9);
    EXPECT_NEAR(initial_bearing(0, 179.5, 0, -179.5), 90, 1e-9);  // east across 180
    EXPECT_NEAR(great_circle_nm(0, 0, 0, 1), 60.1064, 1e-4);
}
