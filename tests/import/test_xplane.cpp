// X-Plane navigation data imported into a karvel database, then selected
// with the program's own selection code; the errors that name file and line.
// The inputs are the folders of tests/import/data.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "core/error.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "import/database_writer.h"
#include "import/places.h"
#include "procedures/leg_lists.h"
#include "sector/writer.h"
#include "import/folders.h"
#include "sector/client_sections.h"
#include "selected.h"
#include "table_rows.h"

using namespace karvel;
using namespace karvel::test;

namespace {

void write(const xplane::NavData& data, const std::string& path) {
    xplane::write_database(data, path, [](const std::string&) {});
}

// Each runway as "09/27", with " ILS" for each end that has one; sorted.
std::vector<std::string> runways_of(const NavTables& nav) {
    std::vector<std::string> out;
    for (const RUNWAY& r : nav.runways)
        out.push_back(r.ident1 + "/" + r.ident2 + (r.ils1 ? " ILS" : "") + (r.ils2 ? " ILS" : ""));
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

// One airport (two runways, an ILS at both ends of one), its navaids, fixes
// and a two-segment airway, in the older (FlightGear's) and newer versions.
TEST(ImportVersions, ImportedDataSelectsLikeAnyDatabase) {
    for (const auto& [folder, cycle] : {std::pair{"old", "1310"}, {"new", "1802"}}) {
        SCOPED_TRACE(folder);
        TempDir dir;
        write(read_folder(dir, folder), dir.file("out.sqlite"));
        Selected db(dir.file("out.sqlite"));
        const NavTables& nav = db.airport("LFXX", 30);

        ASSERT_EQ(nav.airports.size(), 1u);
        EXPECT_EQ(nav.airports[0].name, "Essai Ville");
        // Both runways pair (the end without a side letter takes the other's
        // mirror: "23" of "05R" in one folder, "05" of "23L" in the other),
        // ILS on 09 and 27.
        EXPECT_THAT(runways_of(nav), ElementsAre("05R/23L", "09/27 ILS ILS"));
        EXPECT_EQ(whole_text(nav.runways[0].heading1), "90");  // due east along the parallel
        EXPECT_EQ(whole_text(nav.runways[0].heading2), "270");
        // The VOR-DME once (its DME, 330 m away, is its own), the NDB, the
        // lone DME; the localisers; by latitude, then the ILS.
        std::vector<std::string> vors;
        for (const VOR& v : nav.vors) vors.push_back(v.ident + " " + v.freq + " " + v.desc);
        EXPECT_EQ(vors, (std::vector<std::string>{"XDM 110.200 DME", "XVR 115.350 VOR-DME",
                                                  "IXA 110.300 ILS", "IXB 109.900 ILS"}));
        for (const VOR& v : nav.vors) {
            if (v.desc == "DME") {
                EXPECT_EQ(v.name, "ESSAI");  // " DME" is its kind
            }
        }
        ASSERT_EQ(nav.ndbs.size(), 1u);
        EXPECT_EQ(nav.ndbs[0].freq, "374.000");
        EXPECT_EQ(nav.waypoints.size(), 3u);  // the two fixes and the VOR as an airway end
        for (const FIXE& f : nav.waypoints) {  // the ident where the file gives no name
            EXPECT_FALSE(f.name.empty()) << f.ident;
            if (f.ident == "FIXA") {
                EXPECT_EQ(f.name, folder == std::string("new") ? "FIX A" : "FIXA");
            }
        }
        // Two airways through the VOR (not the fix of its ident 40 nm north,
        // in the new folder): UN1 with both segments, UL2 with one.
        ASSERT_EQ(nav.airways.size(), 2u);
        EXPECT_EQ(std::tuple(nav.airways[0].name, nav.airways[0].lines.size(),
                             nav.airways[1].lines.size(), nav.airways[0].lines[0].lat2),
                  std::tuple("UN1", 2ul, 1ul, 48.95));
        // A frequency of each kind, in the file's order; a 25 kHz channel the
        // 10 kHz rows cut (11972) whole again, the 8.33 kHz one of the kHz rows.
        std::vector<std::string> radio;
        for (const AirportFrequency& f : nav.frequencies)
            radio.push_back(std::to_string(static_cast<int>(f.kind)) + " " + khz_text(f.khz) + " " +
                            f.name);
        EXPECT_THAT(radio, ElementsAre("0 128.125 ESSAI ATIS", "1 122.700 ESSAI CTAF",
                                       folder == std::string("new") ? "2 121.755 ESSAI PREVOL"
                                                                    : "2 121.750 ESSAI PREVOL",
                                       "3 121.850 ESSAI SOL", "4 118.650 ESSAI TOUR",
                                       "4 119.725 ESSAI TOUR 2", "5 121.100 ESSAI APPROCHE",
                                       "6 124.475 ESSAI DEPART"));
        // The cycle and the region of the lookups.
        db.q.set_sql({"select val from config where key='CycleName'"});
        db.q.open();
        EXPECT_EQ(db.q.as_text("val"), cycle);
        db.q.close();
        const bool regions = folder == std::string("new");  // given by the file
        Selected other(dir.file("out.sqlite"));
        const NavTables& region = other.region("LF");
        EXPECT_EQ(std::pair(region.airports.size(), region.waypoints.size()),
                  std::pair(1ul, regions ? 4ul : 3ul));
        Selected eb(dir.file("out.sqlite"));
        EXPECT_EQ(eb.region("EB").vors.size(), regions ? 1u : 0u);  // the DME's own region
    }
}

// What the world's data holds and the sample does not: runway numbers
// without their leading zero, true-heading and lettered ends, runways named
// by letters; airports either side of 180 degrees; an airway segment listed
// once a level, its end a hair away from the fix it names.
TEST(ImportRealWorld, OddIdentsTheAntimeridianAndAirwaysListedTwice) {
    TempDir dir;
    xplane::NavData data = read_folder(dir, "world");
    const std::string out = dir.file("out.sqlite");
    write(data, out);

    Selected db(out);
    const NavTables& nav = db.airport("NFXX", 30);
    // NFYY lies east of 180, 6 nm away, at its runways' middle: half a datum
    // is none.
    ASSERT_EQ(nav.airports.size(), 2u);
    // The localiser's "7R" is the runway's 07R.
    EXPECT_THAT(runways_of(nav),
                ElementsAre("07R/25L ILS", "08T/26T", "09/27", "09/27", "N/", "S/"));
    EXPECT_THAT(data.unpaired_runways, ElementsAre("NFXX N/S"));  // named at the import
    EXPECT_EQ(nav.waypoints.size(), 2u);  // the airway's ends are the fixes
    // A VOR and the TACAN listed after it, beside it, make a VORTAC.
    EXPECT_THAT(nav.vors, ::testing::Contains(::testing::Field(&VOR::desc, "VORTAC")));
    // One segment for both levels ('B'), its end on the fix.
    ASSERT_EQ(nav.airways.size(), 1u);
    ASSERT_EQ(nav.airways[0].lines.size(), 1u);
    EXPECT_EQ(std::pair(nav.airways[0].lines[0].lon1, nav.airways[0].lines[0].level),
              std::pair(-179.90, AirwayLevel::both));  // listed once each way
    Selected nv(out);
    EXPECT_EQ(nv.region("NV").airports.size(), 1u);  // NFYY, of region NV

    std::vector<std::string> lines;
    write_sector(lines, nav, db.frame, {});
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
    write(data, out);
    EXPECT_EQ(mode_of(out) & 07777, 0640u);
    const std::string before = read_bytes(out);
    EXPECT_THROW(
        {
            xplane::DatabaseWriter writer(data, out, [](const std::string&) {});
            std::vector<xplane::ProcedureRec> batch;
            xplane::read_cifp(dir.file("gone.dat"), "NFXX", batch);
            writer.write_procedures(batch);
            writer.finish();
        },
        Error);
    EXPECT_EQ(read_bytes(out), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5);
}

// LFXX.dat holds a SID with runway transitions for two runways, a common
// route and an en-route transition, and a STAR flown from its en-route part
// to the runway. XX501 is LFXX's terminal fix; the en-route fix of the same
// name lies nearer.
TEST(ImportProcedures, CifpSidsAndStarsAreDrawnAlongTheirLegs) {
    TempDir dir;
    xplane::NavData data = read_folder(dir, "new", "cifp");
    write_gzip(dir.file("LFXX.dat.gz"), input("cifp", "LFXX.dat"));
    {
        xplane::DatabaseWriter writer(data, dir.file("out.sqlite"), [](const std::string&) {});
        std::vector<xplane::ProcedureRec> batch;
        xplane::read_cifp(dir.file("LFXX.dat.gz"), "LFXX", batch);
        writer.write_procedures(batch);
        writer.finish();
    }

    Selected db(dir.file("out.sqlite"));
    const NavTables& nav = db.airport("LFXX", 30);
    ASSERT_EQ(std::pair(nav.sids.size(), nav.stars.size()), std::pair(2ul, 1ul));  // a SID a runway
    EXPECT_EQ(nav.sids[0].name, "XVR1A");
    EXPECT_THAT(nav.sids[0].transitions, ElementsAre("RW27", "", "FIXB"));
    EXPECT_THAT(nav.sids[1].transitions, ElementsAre("RW23B", "", "FIXB"));
    // The 27 threshold, where the CD leg starts; the 23L one (of both 23s).
    EXPECT_EQ(std::tuple(nav.sids[0].rwy_lat, nav.sids[0].rwy_lon, nav.sids[1].rwy_lat),
              std::tuple(48.90, 2.46, 48.92));
    // Tenths of degrees and miles, the navaid named.
    EXPECT_EQ(leg_item(nav, nav.sids[0].legs[2]),
              "CF FIXA  navaid:XVR    6nm 270\xB0    1nm  transition:RW27");
    EXPECT_EQ(leg_item(nav, nav.stars[0].legs[3]), "CF XX501      5\xB0   transition:");  // 5 true
    // The DME arc turns round its navaid, XVR.
    EXPECT_EQ(std::pair(nav.sids[0].legs[5].trackcode, nav.sids[0].legs[5].centerlat),
              std::pair(std::string("AF"), 48.95));

    // The path in the plane the selection set (the STAR's runway part of
    // route type 9, its first leg's time no distance): XVR at the origin, the 27
    // threshold 3 nm south of it, FIXA on its 270 radial.
    const double k = db.frame.plane.nm_per_deg_lon, tan15 = std::tan(15 * M_PI / 180);
    using P = std::pair<double, double>;
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
            EXPECT_NEAR(r.lines[i].lat1, points[i].first, 1e-9) << r.name << " point " << i;
            EXPECT_NEAR(r.lines[i].lon1, points[i].second, 1e-9) << r.name << " point " << i;
        }
    };
    expect_path(nav.sids[0], sid);
    expect_path(nav.sids[1], std::vector<P>(sid.begin() + 3, sid.end()));  // VA draws nothing
    expect_path(nav.stars[0], star);
}

// The point a procedure names, of several of one ident: a navaid of the
// region it gives before a nearer one of another, an en-route fix for an
// en-route leg and a terminal one for a terminal leg, an ILS's DME before
// its localiser.
TEST(ImportProcedures, PointsOfTheRegionAndSectionNamed) {
    TempDir dir;
    xplane::Db db(dir.file("p.sqlite"));
    db.exec("create table waypoints (ID, ident, name, latitude, longtitude);"
            "create table waypointlookup (id, country);");
    xplane::NavData d;
    d.airports = {{.icao = "LFXX", .lat = 48.9, .lon = 2.4}};
    d.navaids = {{.ident = "XDM", .lat = 48.8, .lon = 2.3}, {.ident = "XDM", .lat = 48.9, .lon = 2.41}};
    d.fixes = {{.ident = "FIXA", .terminal = "ENRT", .lat = 48.95, .lon = 2.3},
               {.ident = "FIXA", .terminal = "LFXX", .lat = 48.91, .lon = 2.41}};
    d.localisers = {{.ident = "IXB", .airport = "LFXX", .lat = 48.9, .lon = 2.39}};
    d.ils_dmes = {{.ident = "IXB", .airport = "LFXX", .lat = 48.901, .lon = 2.395}};
    xplane::WrittenPlaces written;
    written.add_airport("LFXX", "LF");
    for (const char* r : {"LF", "EB"}) written.add_navaid_region(r);
    for (int i = 0; i < 2; ++i) written.add_fix_region("LF");
    xplane::Waypoints waypoints(db);
    xplane::Places places(d, written, waypoints);
    const auto at = [&](const char* ident, const char* section) {
        const auto f = places.find({ident, "LF", section}, 0, false);
        return f ? std::pair(f->at.lat, f->at.lon) : std::pair(0.0, 0.0);
    };
    EXPECT_EQ(at("XDM", "D"), std::pair(48.8, 2.3));
    EXPECT_EQ(at("FIXA", "EA"), std::pair(48.95, 2.3));
    EXPECT_EQ(at("FIXA", "PC"), std::pair(48.91, 2.41));
    EXPECT_EQ(at("IXB", "PI"), std::pair(48.901, 2.395));
}

TEST(ImportErrors, NameTheFileAndTheLine) {
    TempDir dir;
    for (const TableRow& c : table_rows("tests/import/data/refused.tsv", "xplane")) {
        const std::string& file = c.fields.at(0), path = dir.file(file);
        write_bytes(path, c.fields.at(1));
        xplane::NavData d;
        EXPECT_THAT(
            [&] {
                file == "nav.dat"   ? xplane::read_nav(path, d)
                : file == "fix.dat" ? xplane::read_fix(path, d)
                : file == "apt.dat" ? xplane::read_apt(path, d)
                                    : xplane::read_cifp(path, "LFXX", d.procedures);
            },
            ThrowsMessage<Error>(HasSubstr(c.fields.at(2))))
            << c.where;
    }
    // A gzip file cut short.
    std::string rows = "I\n600 Version\n";
    for (int i = 0; i < 20000; ++i) rows += "48.1 2.1 FIX" + std::to_string(i) + "\n";
    write_gzip(dir.file("cut.gz"), rows);
    const std::string bytes = read_bytes(dir.file("cut.gz"));
    write_bytes(dir.file("cut.gz"), bytes.substr(0, bytes.size() / 2));
    xplane::NavData d;
    EXPECT_THAT([&] { xplane::read_fix(dir.file("cut.gz"), d); },
                ThrowsMessage<Error>(
                    ::testing::AllOf(HasSubstr("cut.gz\", ligne "),
                                     HasSubstr("fin de fichier inattendue (fichier gzip tronqu"))));
}

// The region of the nearest airport with an ICAO code (a local code never
// becomes a region), found ring by ring where airports are many and airport
// by airport where they are few, across 180 degrees too.
TEST(ImportNumbers, TheNearestAirportsRegionAndBearings) {
    std::vector<xplane::AirportRec> airports;
    std::vector<std::string> regions;
    for (int i = 0; i < 400; ++i) {  // a band of airports every 0.9 degrees
        xplane::AirportRec a;
        a.icao = "NF" + std::string(1, static_cast<char>('A' + i % 26)) +
                 static_cast<char>('A' + i / 26);
        a.lat = -20 + (i % 20) * 0.9 + (i % 7) * 0.01;
        a.lon = 170 + (i / 20) * 0.9;
        if (a.lon > 180) a.lon -= 360;
        airports.push_back(a);
        regions.push_back(std::to_string(i));
    }
    for (const char* local : {"2834", "X4AB", "NFA"}) {  // on the points asked: never found
        airports.push_back({.icao = local, .lat = -15.02, .lon = 179.97});
        regions.push_back(local);
        airports.push_back({.icao = local, .lat = 40, .lon = 10});
        regions.push_back(local);
    }
    const xplane::NearestRegion many(airports, regions);
    const std::vector<xplane::AirportRec> one{airports[0]};  // kept by reference
    const xplane::NearestRegion few(one, regions);
    for (const auto& [lat, lon] : std::initializer_list<std::pair<double, double>>{
             {-15.02, 179.97}, {-15.02, -179.98}, {-1.0, -175.0}, {40, 10}, {-19.3, 171.1}}) {
        size_t best = 0;
        for (size_t i = 1; i < 400; ++i)
            if (great_circle_nm(lat, lon, airports[i].lat, airports[i].lon) <
                great_circle_nm(lat, lon, airports[best].lat, airports[best].lon))
                best = i;
        EXPECT_EQ(many(lat, lon), regions[best]) << lat << " " << lon;
        EXPECT_EQ(few(lat, lon), "0");
    }
    EXPECT_NEAR(initial_bearing(0, 0, 1, 0), 0, 1e-9);
    EXPECT_NEAR(initial_bearing(0, 179.5, 0, -179.5), 90, 1e-9);  // east across 180
}
