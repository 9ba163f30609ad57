// Airspace outlines: the three readers on small files of known shapes
// (arcs both ways, a circle, a shape that returns to its beginning twice, a
// polygon cut at 180 degrees), their refusals, then an imported database
// selected on either side of 180 and written into the client format and
// the GeoJSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>

#include "core/error.h"
#include "core/geometry.h"
#include "core/outline.h"
#include "import/database_writer.h"
#include "import/outlines.h"
#include "sector/client_files.h"
#include "sector/writer.h"
#include "selection/ground_loader.h"
#include "selection/outline_loader.h"
#include "import/folders.h"
#include "selected.h"
#include "table_rows.h"

using namespace karvel;
using namespace karvel::test;

namespace {

outlines::OutlineFile read(const TempDir& dir, const std::string& name, const std::string& text,
                           const std::string& attribution = "") {
    write_bytes(dir.file(name), text);
    return outlines::read_outlines(dir.file(name), attribution);
}

// The area of a ring in square nautical miles, on the plane of its first point.
double area_nm2(const t_point& ring) {
    const double k = std::cos(static_cast<double>(radians(ring[0].latitude)));
    double a = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const geo_point& p = ring[i];
        const geo_point& q = ring[(i + 1) % ring.size()];
        a += (p.longitude * k * 60) * (q.latitude * 60) - (q.longitude * k * 60) * (p.latitude * 60);
    }
    return std::fabs(a) / 2;
}

double nm(const geo_point& a, const geo_point& b) {
    return static_cast<double>(great_circle_nm(a.latitude, a.longitude, b.latitude, b.longitude));
}

// Records of the FAA's ARB file: two centres, HIGH, LOW and FIR strata.
const std::string kArb = source_file("tests/import/data/outlines/ARB.txt");

// Arcs both ways, a circle, an arc between two points.
const std::string kOpenAir = source_file("tests/import/data/outlines/essai.openair");

}  // namespace

TEST(OutlineReaders, OpenAirArcsBothWaysCirclesAndLimits) {
    TempDir dir;
    const auto file = read(dir, "essai.txt", kOpenAir);
    ASSERT_EQ(file.format, outlines::Format::openair);
    ASSERT_EQ(file.outlines.size(), 4u);
    const Outline &cw = file.outlines[0], &ccw = file.outlines[1], &circle = file.outlines[2],
                  &between = file.outlines[3];
    EXPECT_EQ(std::tuple(cw.name, cw.kind, cw.lower, cw.upper, cw.layer),
              std::tuple("QUART HORAIRE", "D", "SFC", "2500FT AMSL", OutlineLayer::low));
    // From FL195 up (6000 m is 19,685 ft) the area is a high one.
    EXPECT_EQ(std::pair(ccw.name, ccw.layer), std::pair(std::string("QUART ANTIHORAIRE"), OutlineLayer::high));
    EXPECT_EQ(circle.layer, OutlineLayer::high);

    // A quarter of a 10 nm disc, drawn either way: the same points, the
    // area of the text within 3 %.
    const double quarter = kPi * 100 / 4;
    for (const Outline* o : {&cw, &ccw}) {
        ASSERT_EQ(o->rings.size(), 1u);
        EXPECT_NEAR(area_nm2(o->rings[0]), quarter, quarter * 0.03) << o->name;
    }
    t_point back(ccw.rings[0].begin() + 1, ccw.rings[0].end());
    std::reverse(back.begin(), back.end());
    ASSERT_EQ(back.size() + 1, cw.rings[0].size());
    for (size_t i = 0; i < back.size(); ++i) EXPECT_LT(nm(back[i], cw.rings[0][i + 1]), 1e-4);
    EXPECT_LT(nm(cw.rings[0][1], {45 + 10.0 / 60, 5}), 0.05);  // north first, then clockwise

    // The circle, round a centre written without a blank before its
    // longitude: every point on the radius, no chord 0.05 nm off the curve.
    const geo_point centre{45 + 39 / 60.0 + 57 / 3600.0, -(47 / 60.0 + 20 / 3600.0)};
    ASSERT_EQ(circle.rings.size(), 1u);
    const t_point& ring = circle.rings[0];
    ASSERT_GE(ring.size(), 16u);
    for (size_t i = 0; i < ring.size(); ++i) {
        EXPECT_NEAR(nm(centre, ring[i]), 5, 1e-6);
        const geo_point& q = ring[(i + 1) % ring.size()];
        const geo_point mid{(ring[i].latitude + q.latitude) / 2,
                            (ring[i].longitude + q.longitude) / 2};
        EXPECT_GT(nm(centre, mid), 5 - 0.05);
    }
    // An arc between two points ends on them exactly, its radius running
    // from the first's to the second's.
    const t_point& b = between.rings[0];
    EXPECT_EQ(std::pair(b[1].latitude, b[1].longitude), std::pair(45 + 7 / 60.0, 5 + 10 / 60.0));
    EXPECT_EQ(std::pair(b.back().latitude, b.back().longitude), std::pair(45.0, 5 + 14.5 / 60));
    EXPECT_EQ(between.name, "ENTRE DEUX POINTS");

    // An area of two points has no inside: passed over.
    const auto line = read(dir, "ligne.txt",
                           "AC D\nAN LIGNE\nDP 45:00:00 N 005:00:00 E\nDP 45:10:00 N 005:00:00 E\n");
    EXPECT_TRUE(line.outlines.empty());
    EXPECT_EQ(line.passed_over, 1u);
}

TEST(OutlineReaders, ArbShapesStrataAndTheAntimeridian) {
    TempDir dir;
    // A centre of two points at the end: no shape, and no outline.
    std::string two = kArb.substr(kArb.find("ZYY"));
    two = two.substr(0, two.find('\n', two.find('\n') + 1) + 1);
    for (size_t at = 0; (at = two.find("ZYY", at)) != std::string::npos;) two.replace(at, 3, "ZZZ");
    const auto file = read(dir, "ARB.txt", kArb + two, "FAA");
    ASSERT_EQ(file.format, outlines::Format::arb);
    ASSERT_EQ(file.outlines.size(), 3u);
    const Outline &high = file.outlines[0], &low = file.outlines[1], &fir = file.outlines[2];
    EXPECT_EQ(std::tuple(high.name, high.kind, high.layer, high.rings.size(), high.rings[0].size(),
                         high.rings[1].size()),
              std::tuple("ZXX", "HIGH", OutlineLayer::high, 2ul, 3ul, 4ul));
    EXPECT_EQ(std::tuple(low.name, low.layer, low.rings.size()),
              std::tuple("ZXX", OutlineLayer::low, 1ul));
    EXPECT_EQ(std::tuple(fir.name, fir.layer, fir.attribution, fir.source),
              std::tuple("ZYY FIR", OutlineLayer::artcc, "FAA", "ARB.txt"));
    EXPECT_NEAR(fir.rings[0][2].latitude, 40 + 30 / 60.0 + 30.5 / 3600, 1e-12);
    // Shapes that end without going back to their beginning, at a new
    // stratum or at the end of the file, are noted open.
    EXPECT_EQ(std::tuple(high.open_rings.size(), low.open_rings, fir.open_rings),
              std::tuple(0ul, std::vector<size_t>{0}, std::vector<size_t>{0}));
    // Its box runs across 180 rather than round the globe.
    EXPECT_EQ(std::pair(fir.box.lon_min, fir.box.lon_max), std::pair(170.0, 190.0));
}

// The parts turn opposite ways, as files made by different tools do; the
// file starts with a byte-order mark.
TEST(OutlineReaders, GeoJsonPartsCutAt180AreOneOutlineAgain) {
    TempDir dir;
    const auto file = read(dir, "fir.geojson", source_file("tests/import/data/outlines/cut-at-180.geojson"),
                           "CC BY-SA 4.0");
    ASSERT_EQ(file.outlines.size(), 2u);
    EXPECT_EQ(file.passed_over, 1u);  // no outline in a point
    const Outline& joined = file.outlines[0];
    EXPECT_EQ(std::pair(joined.name, joined.kind), std::pair(std::string("NXXX"), std::string("FIR")));
    ASSERT_EQ(joined.rings.size(), 1u);
    const t_point& r = joined.rings[0];
    EXPECT_EQ(r.size(), 6u);  // the square's corners and where its edges cross 180
    for (size_t i = 0; i < r.size(); ++i)  // the cut is gone
        EXPECT_FALSE(std::fabs(r[i].longitude) == 180 &&
                     std::fabs(r[(i + 1) % r.size()].longitude) == 180);
    EXPECT_EQ(std::pair(joined.box.lon_min, joined.box.lon_max), std::pair(178.0, 182.0));
    // One side's edge on 180 met by two points of the other's: cut there.
    const t_point east{{10, 170}, {-10, 170}, {-10, 180}, {0, 180}, {5, 180}, {10, 180}},
        west{{10, -180}, {5, -180}, {0, -180}, {-10, -180}, {-10, -170}, {10, -170}};
    const t_point east_cut{{10, 170}, {-10, 170}, {-10, 180}, {10, 180}},
        west_cut{{10, -180}, {-10, -180}, {-10, -170}, {10, -170}};
    for (const auto& pieces : {std::vector{east, west_cut}, std::vector{east_cut, west}}) {
        const auto one = join_at_antimeridian(pieces);
        ASSERT_EQ(one.size(), 1u);
        EXPECT_EQ(one[0].size(), 6u);
    }
    const Outline& holed = file.outlines[1];
    EXPECT_EQ(std::tuple(holed.name, holed.kind, holed.lower, holed.rings.size(),
                         holed.rings[1].size()),
              std::tuple("TROU", "CTA", "FL100", 2ul, 3ul));
}

TEST(OutlineReaders, BadFilesAreRefusedWithFileAndLine) {
    TempDir dir;
    for (const TableRow& c : table_rows("tests/import/data/refused.tsv", "outline")) {
        const std::string& name = c.fields.at(0);
        try {
            read(dir, name, c.fields.at(1));
            ADD_FAILURE() << c.where << " was read";
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), HasSubstr(name)) << e.what();
            EXPECT_THAT(e.what(), HasSubstr(w1252(c.fields.at(2)))) << e.what();
        }
    }
    // Bounds on what a file can make: memory, circles drawn out.
    std::string circles = "AC D\nV X=45:00:00 N 005:00:00 E\n";
    for (int i = 0; i < 4000; ++i) circles += "DC 3000\n";
    for (const auto& [path, words] :
         {std::pair(std::string("/dev/zero"), "plus de 64 Mo"),
          std::pair(dir.file("cercles.txt"), "plus de 2000000 points")}) {
        if (path != "/dev/zero") write_bytes(path, circles);
        EXPECT_THROW(
            try { outlines::read_outlines(path, ""); } catch (const Error& e) {
                EXPECT_THAT(e.what(), HasSubstr(words));
                throw;
            },
            Error);
    }
}

TEST(OutlineGeometry, BoxesAcross180OnEitherSideAndRoundAPole) {
    const GeoBox across = rings_box({{{-10, 179}, {-10, -179}, {-12, -179}, {-12, 179}}});
    EXPECT_EQ(std::pair(across.lon_min, across.lon_max), std::pair(179.0, 181.0));
    // Selections written on either side of the meridian, or away from it.
    EXPECT_TRUE(boxes_meet(across, {-11, -9, -185, -179.5}));
    EXPECT_TRUE(boxes_meet(across, {-11, -9, 179.5, 185}));
    EXPECT_FALSE(boxes_meet(across, {-11, -9, -178, -170}));
    EXPECT_FALSE(boxes_meet(across, {-9.5, -9, 179.5, 185}));
    EXPECT_FALSE(boxes_meet(across, {-13.5, -12.5, -185, -179.5}));  // south of it
    // One outline's rings on both sides of 180: one box across it.
    const GeoBox parts = rings_box({{{-10, 170}, {-10, 175}, {-12, 175}},
                                    {{-10, -175}, {-10, -170}, {-12, -170}}});
    EXPECT_EQ(std::pair(parts.lon_min, parts.lon_max), std::pair(170.0, 190.0));
    // Rings that together go round the globe hold every longitude.
    const GeoBox round = rings_box({{{1, 0}, {1, 170}, {2, 170}},
                                    {{1, 160}, {1, -100}, {2, -100}, {2, 160}},
                                    {{1, -110}, {1, 10}, {2, 10}, {2, -110}}});
    EXPECT_EQ(std::pair(round.lon_min, round.lon_max), std::pair(-180.0, 180.0));
    // A ring round a pole holds every longitude up to that pole.
    for (const double side : {1.0, -1.0}) {
        const GeoBox polar =
            rings_box({{{70 * side, 0}, {70 * side, 120}, {70 * side, -120}}});
        EXPECT_EQ(std::tuple(side > 0 ? polar.lat_max : polar.lat_min, polar.lon_min, polar.lon_max),
                  std::tuple(90 * side, -180.0, 180.0));
        EXPECT_TRUE(boxes_meet(polar, {80 * side - 2, 80 * side + 2, 10, 20}));
    }
}

namespace {

// The "world" folder with a square across 180 near its airports (a square
// hole in it) and one at their latitudes half the globe away.
struct OutlineDatabase : ::testing::Test {
    OutlineDatabase() {
        data = read_folder(dir, "world");
        const auto file = read(dir, "fir.geojson", source_file("tests/import/data/outlines/across-180.geojson"),
                               "Essai, CC BY-SA 4.0");
        xplane::DatabaseWriter writer(data, dir.file("out.sqlite"), [](const std::string&) {});
        writer.write_outlines({file, read(dir, "zone.txt", kOpenAir)});
        writer.finish();
    }
    TempDir dir;
    xplane::NavData data;
};

}  // namespace

// What the sources said of their rings comes back with them: the OpenAir
// quarter that ends on its arc is open, its circle a circle.
TEST_F(OutlineDatabase, OpenRingsAndCirclesReadBack) {
    Selected db(dir.file("out.sqlite"));
    db.ctx.outlines = db.ctx.outline_rings = true;
    db.frame.box = {-90, 90, -180, 180};
    load_outlines(db.ctx);
    std::map<std::string, const Outline*> by_name;
    for (const Outline& o : db.nav.outlines) by_name[o.name] = &o;
    EXPECT_EQ(by_name.at("QUART HORAIRE")->open_rings, std::vector<size_t>{0});
    EXPECT_TRUE(by_name.at("NXXX")->open_rings.empty());
    const auto& circles = by_name.at("CERCLE")->circles;
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(std::tuple(circles[0].ring, circles[0].radius_nm), std::tuple(0ul, 5.0));
    EXPECT_NEAR(circles[0].centre.longitude, -(47 / 60.0 + 20 / 3600.0), 1e-12);
}

// A hostile database's IDs that are no numbers never become SQL: that
// outline and that ground shape are left out, no navaid taken for points;
// its ring numbers reserve nothing.
TEST(HostileDatabase, IdsThatAreNoNumbersAreLeftOut) {
    TempDir dir;
    build_sample_database(dir.file("h.sqlite"));
    const std::string sql = "0) union select ID,0,latitude,longtitude from navaids where (1";
    build_database(
        dir.file("h.sqlite"),
        "CREATE TABLE outlinesources (ID INTEGER, file TEXT, attribution TEXT);"
        "CREATE TABLE outlines (ID TEXT, sourceID INTEGER, name TEXT, kind TEXT, layer TEXT,"
        " lower TEXT, upper TEXT, latmin REAL, latmax REAL, lonmin REAL, lonmax REAL);"
        "CREATE TABLE outlinepoints (outlineID, ring, seq, latitude, longtitude);"
        "CREATE TABLE groundshapes (ID TEXT, airport TEXT, kind TEXT, code INTEGER, name TEXT);"
        "CREATE TABLE groundpoints (shapeID, ring, seq, latitude, longtitude);"
        "CREATE TABLE groundstands (ID, airport, name, kind, heading, latitude, longtitude);"
        "INSERT INTO outlines VALUES ('" +
            sql +
            "', 1, 'X', 'FIR', 'artcc', '', '', -90, 90, -180, 180),"
            " ('7', 1, 'Y', 'FIR', 'artcc', '', '', -90, 90, -180, 180);"
            "INSERT INTO groundshapes VALUES ('" +
            sql +
            "', 'LFPG', 'line', 1, 'X'), ('7', 'LFPG', 'line', 1, 'Y');"
            "CREATE TABLE outlinerings (outlineID, ring, open, latitude, longtitude, radius);"
            "INSERT INTO outlinepoints VALUES (7, 0, 0, 1, 1), (7, 0, 1, 1, 2), (7, 0, 2, 2, 2),"
            " (7, 100000, 0, 1.2, 1.2), (7, 100000, 1, 1.2, 1.5), (7, 100000, 2, 1.5, 1.5);"
            "INSERT INTO outlinerings VALUES (7, 100000, 1, 0, 0, 0), (7, 5, 1, 0, 0, 0);"
            "INSERT INTO groundpoints VALUES (7, 0, 0, 49, 2.5), (7, 0, 1, 49, 2.51);");
    Selected db(dir.file("h.sqlite"));
    db.ctx.outlines = db.ctx.outline_rings = true;
    db.frame.box = {-90, 90, -180, 180};
    load_outlines(db.ctx);
    ASSERT_EQ(db.nav.outlines.size(), 1u);
    EXPECT_EQ(db.nav.outlines[0].rings.at(0).size(), 3u);  // its own points only
    // Ring numbers are no sizes: the ring numbered 100000 is the second.
    EXPECT_EQ(db.nav.outlines[0].rings.size(), 2u);
    EXPECT_EQ(db.nav.outlines[0].open_rings, std::vector<size_t>{1});
    std::vector<std::string> none;
    const Ground ground = read_ground(db.q, {"LFPG"}, none, false);
    ASSERT_EQ(ground.shapes.size(), 1u);
    EXPECT_EQ(ground.shapes[0].rings.at(0).size(), 2u);
}

TEST_F(OutlineDatabase, SelectedOnEitherSideAndWrittenWhole) {
    for (const char* icao : {"NFXX", "NFYY"}) {  // east and west of 180
        SCOPED_TRACE(icao);
        Selected db(dir.file("out.sqlite"));
        db.ctx.outlines = true;
        const NavTables& nav = db.airport(icao, 30);
        ASSERT_EQ(nav.outlines.size(), 1u);
        EXPECT_EQ(nav.outlines[0].name, "NXXX");
        EXPECT_EQ(nav.outlines[0].rings.size(), 2u);  // with its hole
        EXPECT_EQ(db.memo.lines.back(), w1252("1 contour d'espace aérien"));
    }
    Selected db(dir.file("out.sqlite"));
    db.ctx.outlines = true;
    NavTables nav = db.airport("NFXX", 30);
    // The default format is the same with and without outlines.
    std::vector<std::string> with, without, client;
    write_sector(with, nav, db.frame, {});
    NavTables none = nav;
    none.outlines.reset();
    write_sector(without, none, db.frame, {});
    EXPECT_EQ(with, without);

    SectorFormat format;
    format.client = true;
    write_sector(client, nav, db.frame, {"a", "b", "c"}, format);
    const auto header = std::find(client.begin(), client.end(), "[ARTCC]");
    ASSERT_NE(header, client.end());
    EXPECT_EQ(header[1], "; fir.geojson : Essai, CC BY-SA 4.0");
    EXPECT_EQ(std::find(client.begin(), client.end(), "[ARTCC HIGH]"), client.end());
    // Each edge of both rings on its own points with the name; the four
    // across 180 are two lines each.
    std::vector<std::string> lines;
    for (auto it = header + 2; *it != ";"; ++it) lines.push_back(*it);
    ASSERT_EQ(lines.size(), 12u);
    const std::regex shape("NXXX [NS]\\d{3}(\\.\\d\\d){2}\\.\\d{3} ([EW]\\d{3})(\\.\\d\\d){2}\\.\\d{3} "
                           "[NS]\\d{3}(\\.\\d\\d){2}\\.\\d{3} ([EW]\\d{3})(\\.\\d\\d){2}\\.\\d{3}");
    // Closed rings: every point begins as many lines as it ends (180 W is
    // 180 E), and no line stands still.
    std::map<std::string, int> balance;
    const auto point = [](std::string p) {
        if (p.compare(15, 4, "W180") == 0) p[15] = 'E';
        return p;
    };
    for (const std::string& l : lines) {
        const std::string from = point(l.substr(5, 29)), to = point(l.substr(35, 29));
        EXPECT_NE(from, to) << l;
        ++balance[from];
        --balance[to];
    }
    for (const auto& [point, n] : balance) EXPECT_EQ(n, 0) << point;
    for (const std::string& l : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(l, m, shape)) << l;
        // No line across 180: both ends on one side, or one on the meridian.
        EXPECT_TRUE(m[2].str()[0] == m[5].str()[0] || m[2].str() == "E180" ||
                    m[2].str() == "W180" || m[5].str() == "E180" || m[5].str() == "W180")
            << l;
    }
    nav.outlines[0].selected = false;  // left out by the user
    std::vector<std::string> left;
    write_sector(left, nav, db.frame, {"a", "b", "c"}, format);
    EXPECT_EQ(std::find(left.begin(), left.end(), "[ARTCC]"), left.end());

    // The GeoJSON: two polygons either side of 180, each anticlockwise and
    // closed, each with its part of the hole, clockwise.
    nav.outlines[0].selected = true;
    std::array<t_couleur, kColourCount> colours{};
    const std::string json = geojson_text(nav, db.frame.box, colours, {});
    EXPECT_THAT(json, HasSubstr("{\"type\":\"MultiPolygon\",\"coordinates\":[[[[179,-18],[180,-18],"
                                "[180,-16],[179,-16],[179,-18]],[[179.5,-16.5],[180,-16.5],"
                                "[180,-17.5],[179.5,-17.5],[179.5,-16.5]]],[[[-180,-18],[-179,-18],"
                                "[-179,-16],[-180,-16],[-180,-18]],[[-180,-16.5],[-179.5,-16.5],"
                                "[-179.5,-17.5],[-180,-17.5],[-180,-16.5]]]]}"));
    EXPECT_THAT(json, HasSubstr("\"kind\":\"outline\",\"name\":\"NXXX\",\"type\":\"FIR\","
                                "\"layer\":\"artcc\""));
}
