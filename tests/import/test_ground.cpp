// Airports' ground drawings: curves against their known shapes, the rows
// of a file made from LFPG's (a hole, a ring that closes on a curved node,
// lines that change type, both kinds of stand), bad rows, areas cut into
// pieces without holes, then a database read back and written into the
// client format and the GeoJSON.
#include <gtest/gtest.h>

#include <fstream>

#include <cmath>
#include <nlohmann/json.hpp>

#include "core/error.h"
#include "core/geometry.h"
#include "core/ground.h"
#include "import/database_writer.h"
#include "import/folders.h"
#include "import/ground.h"
#include "sector/client_files.h"
#include "sector/ground_pieces.h"
#include "sector/positions.h"
#include "sector/writer.h"
#include "selected.h"
#include "table_rows.h"
#include "selection/ground_loader.h"

using namespace karvel;
using namespace karvel::test;

namespace {

const std::string kFixture = KARVEL_SOURCE_DIR "/tests/import/data/ground/apt.dat";

// Metres between two points, on the plane of the first.
double metres(const geo_point& a, const geo_point& b) {
    const double k = std::cos(static_cast<double>(radians(a.latitude)));
    return std::hypot((b.latitude - a.latitude) * 111317.1,
                      (b.longitude - a.longitude) * k * 111317.1);
}

// The distance from p to the segment ab, on a plane (metres).
double to_segment(const geo_point& p, const geo_point& a, const geo_point& b) {
    const double k = std::cos(static_cast<double>(radians(a.latitude)));
    const double px = (p.longitude - a.longitude) * k, py = p.latitude - a.latitude;
    const double bx = (b.longitude - a.longitude) * k, by = b.latitude - a.latitude;
    const double len = bx * bx + by * by;
    const double t = len == 0 ? 0 : std::clamp((px * bx + py * by) / len, 0.0, 1.0);
    return std::hypot(px - t * bx, py - t * by) * 111317.1;
}

double to_path(const geo_point& p, const t_point& path) {
    double best = 1e18;
    for (size_t i = 0; i + 1 < path.size(); ++i) best = std::min(best, to_segment(p, path[i], path[i + 1]));
    return best;
}

geo_point cubic(geo_point a, geo_point b, geo_point c, geo_point d, double t) {
    const double u = 1 - t;
    return {u * u * u * a.latitude + 3 * u * u * t * b.latitude + 3 * u * t * t * c.latitude +
                t * t * t * d.latitude,
            u * u * u * a.longitude + 3 * u * u * t * b.longitude + 3 * u * t * t * c.longitude +
                t * t * t * d.longitude};
}

geo_point mirror(geo_point node, geo_point control) {
    return {2 * node.latitude - control.latitude, 2 * node.longitude - control.longitude};
}

bool inside(const geo_point& p, const t_point& ring) {
    bool in = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const geo_point& a = ring[i];
        const geo_point& b = ring[j];
        if ((a.latitude > p.latitude) != (b.latitude > p.latitude) &&
            p.longitude < (b.longitude - a.longitude) * (p.latitude - a.latitude) /
                                  (b.latitude - a.latitude) +
                              a.longitude)
            in = !in;
    }
    return in;
}

double area(const t_point& ring) {  // square degrees
    double a = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const geo_point& p = ring[i];
        const geo_point& q = ring[(i + 1) % ring.size()];
        a += p.longitude * q.latitude - q.longitude * p.latitude;
    }
    return std::fabs(a) / 2;
}

std::map<std::string, xplane::AirportGround> read_fixture(const std::string& path) {
    std::map<std::string, xplane::AirportGround> out;
    xplane::read_ground(path, [&](xplane::AirportGround& a) { out[a.icao] = a; });
    return out;
}

const GroundShape* named(const xplane::AirportGround& a, const std::string& name, int code = -1) {
    for (const GroundShape& s : a.shapes)
        if (s.name == name && (code < 0 || s.code == code)) return &s;
    return nullptr;
}

}  // namespace

// Curves out of a node shaped by its control point, into one by its
// mirror, both; each the known curve within half a metre, its points on it.
TEST(GroundCurves, EachNodeShapesItsSideOfTheCurve) {
    const geo_point a{49.0, 2.5}, b{49.0, 2.51}, c{49.004, 2.502}, d{49.004, 2.508};
    struct Case {
        const char* what;
        std::vector<GroundNode> nodes;
        geo_point c1, c2;  // the cubic the chain must follow
    };
    // A quadratic with control q is the cubic with controls a + 2(q - a)/3, b + 2(q - b)/3.
    const auto as_cubic = [](geo_point from, geo_point q, geo_point to) {
        return std::pair{geo_point{from.latitude + 2 * (q.latitude - from.latitude) / 3,
                                   from.longitude + 2 * (q.longitude - from.longitude) / 3},
                         geo_point{to.latitude + 2 * (q.latitude - to.latitude) / 3,
                                   to.longitude + 2 * (q.longitude - to.longitude) / 3}};
    };
    const auto out_of_a = as_cubic(a, c, b);
    const auto into_b = as_cubic(a, mirror(b, d), b);
    const Case cases[] = {
        {"out of the first node", {{a, c}, {b, std::nullopt}}, out_of_a.first, out_of_a.second},
        {"into the second node", {{a, std::nullopt}, {b, d}}, into_b.first, into_b.second},
        {"both", {{a, c}, {b, d}}, c, mirror(b, d)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const t_point path = chain_points(k.nodes, false);
        ASSERT_GE(path.size(), 4u);
        EXPECT_LT(path.size(), 200u);
        EXPECT_EQ(path.front().latitude, a.latitude);
        EXPECT_EQ(path.back().longitude, b.longitude);  // the node itself
        double worst = 0;
        for (int i = 0; i <= 2000; ++i)
            worst = std::max(worst, to_path(cubic(a, k.c1, k.c2, b, i / 2000.0), path));
        EXPECT_LE(worst, kGroundToleranceM);
        EXPECT_GT(worst, 0.05);  // not far more points than needed
        t_point dense;
        for (int i = 0; i <= 4000; ++i) dense.push_back(cubic(a, k.c1, k.c2, b, i / 4000.0));
        for (const geo_point& p : path) EXPECT_LT(to_path(p, dense), 0.01);
    }
    // A quarter circle of 500 m as the usual cubic: every point on the radius.
    const double r = 500 / 111317.1, k = 0.5522847498 * r;
    const double kl = k / std::cos(49.0 * 3.14159265358979 / 180);
    const double rl = r / std::cos(49.0 * 3.14159265358979 / 180);
    const geo_point centre{49.0, 2.5};
    const t_point arc = chain_points({{{49.0 + r, 2.5}, geo_point{49.0 + r, 2.5 + kl}},
                                      {{49.0, 2.5 + rl}, geo_point{49.0 - k, 2.5 + rl}}},
                                     false);
    for (const geo_point& p : arc) EXPECT_NEAR(metres(centre, p), 500, 0.2);
}

// A ring that closes on a curved node runs its last curve back to the first
// node, which it does not repeat; a straight ring is its nodes.
TEST(GroundCurves, ARingClosesOnItsLastNode) {
    const geo_point a{49.0, 2.5}, b{49.0, 2.502}, c{49.001, 2.502};
    EXPECT_EQ(chain_points({{a, {}}, {b, {}}, {c, {}}}, true).size(), 3u);
    const t_point ring = chain_points({{a, {}}, {b, {}}, {c, geo_point{49.001, 2.5}}}, true);
    ASSERT_GT(ring.size(), 4u);
    EXPECT_NE(ring.back().latitude, a.latitude);  // not repeated
    // The closing curve bulges towards its control point, north-west of the chord.
    bool bulges = false;
    for (size_t i = 3; i < ring.size(); ++i)
        bulges |= ring[i].latitude - 49.0 > (ring[i].longitude - 2.5) / 2 * 1.05;
    EXPECT_TRUE(bulges);
    // A curve across 180 degrees stays short and comes back within -180..180.
    const t_point across = chain_points({{{-17, 179.999}, geo_point{-17.001, -179.999}},
                                         {{-17, -179.998}, {}}},
                                        false);
    for (const geo_point& p : across) EXPECT_TRUE(p.longitude > 179.99 || p.longitude < -179.99);
}

TEST(GroundCurves, RunwaysAndHelipadsHaveTheirSize) {
    const geo_point e1{49.02473614, 2.52489020}, e2{49.02667786, 2.56169447};
    const t_point r = runway_outline(e1, e2, 60.05);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_NEAR(metres(r[0], r[3]), 60.05, 0.01);
    EXPECT_NEAR(metres(r[1], r[2]), 60.05, 0.01);
    EXPECT_NEAR(metres(r[0], r[1]), metres(e1, e2), 0.05);
    const geo_point mid{(r[0].latitude + r[3].latitude) / 2, (r[0].longitude + r[3].longitude) / 2};
    EXPECT_LT(metres(mid, e1), 0.01);
    EXPECT_GT(r[0].latitude, r[3].latitude);  // left of an eastward runway is north
    const t_point h = helipad_outline({48.5, 2.0}, 90, 20, 10);
    EXPECT_NEAR(metres(h[0], h[1]), 10, 0.01);
    EXPECT_NEAR(metres(h[1], h[2]), 20, 0.01);
    EXPECT_LT(h[0].longitude, 2.0 + 1e-3);
    EXPECT_GT(h[0].longitude, 2.0);  // the front is east
}

// apt.dat's surface types: 1 asphalt, 2 concrete, 3 grass, 4 dirt,
// 5 gravel, 12 dry lakebed, 13 water, 14 snow, 15 transparent; line types:
// 1 taxi centreline, 4 hold short, 51 its black-bordered form, 101 taxi
// centre lights, 103 hold lights, 3 a plain edge line.
TEST(GroundPaint, EachSurfaceAndLineTypeOfTheFormat) {
    const std::pair<int, GroundPaint> surfaces[] = {
        {1, GroundPaint::paved},    {2, GroundPaint::paved},    {3, GroundPaint::unpaved},
        {4, GroundPaint::unpaved},  {5, GroundPaint::unpaved},  {12, GroundPaint::unpaved},
        {13, GroundPaint::none},    {14, GroundPaint::unpaved}, {15, GroundPaint::none}};
    for (const auto& [code, paint] : surfaces) {
        GroundShape s;
        s.kind = GroundKind::pavement;
        s.code = code;
        EXPECT_EQ(ground_paint(s), paint) << "surface " << code;
        s.kind = GroundKind::runway;
        EXPECT_EQ(ground_paint(s), GroundPaint::runway) << "runway of surface " << code;
    }
    const std::pair<int, GroundPaint> lines[] = {{1, GroundPaint::centreline},
                                                 {51, GroundPaint::centreline},
                                                 {101, GroundPaint::centreline},
                                                 {4, GroundPaint::hold},
                                                 {103, GroundPaint::hold},
                                                 {3, GroundPaint::none}};
    for (const auto& [code, paint] : lines) {
        GroundShape s;
        s.kind = GroundKind::line;
        s.code = code;
        EXPECT_EQ(ground_paint(s), paint) << "line " << code;
    }
}

TEST(GroundReader, TheLfpgRowsAndTheirKinds) {
    const auto airports = read_fixture(kFixture);
    ASSERT_EQ(airports.size(), 2u);  // LFXH is a heliport: passed over
    const xplane::AirportGround& g = airports.at("LFPG");
    const GroundShape* runway = named(g, "09L/27R");
    ASSERT_NE(runway, nullptr);
    EXPECT_EQ(runway->kind, GroundKind::runway);
    EXPECT_EQ(runway->code, 1);
    const GroundShape* terminal = named(g, "Terminal S3");
    ASSERT_NE(terminal, nullptr);
    ASSERT_EQ(terminal->rings.size(), 2u);  // a third ring of two nodes is no hole
    EXPECT_EQ(terminal->code, 2);
    EXPECT_TRUE(inside(terminal->rings[1][0], terminal->rings[0]));
    const GroundShape* taxiway = named(g, "New Taxiway 1");
    ASSERT_NE(taxiway, nullptr);
    ASSERT_EQ(taxiway->rings.size(), 1u);
    EXPECT_EQ(taxiway->rings[0].front().latitude, 49.01874368);
    EXPECT_GT(taxiway->rings[0].size(), 7u);  // its curves, the closing one too
    // Lines: one run a line type; the run of type 0 is no line.
    const GroundShape* centre = named(g, "Changing Feature", 1);
    const GroundShape* hold = named(g, "Changing Feature", 4);
    ASSERT_NE(centre, nullptr);
    ASSERT_NE(hold, nullptr);
    EXPECT_EQ(centre->rings[0].back().longitude, 2.552);  // where the hold line begins
    EXPECT_EQ(hold->rings[0].front().longitude, 2.552);
    EXPECT_EQ(hold->rings[0].back().longitude, 2.553);
    EXPECT_EQ(std::count_if(g.shapes.begin(), g.shapes.end(),
                            [](const GroundShape& s) { return s.name == "Changing Feature"; }),
              2);
    EXPECT_EQ(named(g, "Stop K1")->code, 4);
    // An edge line kept for its lights: centreline, then hold.
    TempDir dir;
    write_bytes(dir.file("apt.dat"),
                "I\n1000 Version\n1 10 0 0 LOWW Essai\n120 Lit Edge\n"
                "111 48.1 16.5 3 101\n111 48.2 16.5 3 103\n115 48.3 16.5\n99\n");
    const auto lit = read_fixture(dir.file("apt.dat")).at("LOWW");
    ASSERT_NE(named(lit, "Lit Edge", 101), nullptr);
    ASSERT_NE(named(lit, "Lit Edge", 103), nullptr);
    const t_point& loop = named(g, "Linear Feature 37")->rings[0];
    EXPECT_EQ(loop.front().latitude, loop.back().latitude);  // closed on 114
    EXPECT_EQ(loop.front().longitude, loop.back().longitude);
    EXPECT_EQ(named(g, "Airport Boundary 1"), nullptr);
    // Rows 1300, and rows 15 of other names.
    std::vector<std::string> stands;
    for (const Stand& s : g.stands) stands.push_back(s.name + "/" + s.kind);
    EXPECT_THAT(stands, ::testing::UnorderedElementsAre("Gate A8/gate", "Gate A9/tie_down",
                                                        "Gate A30/", "Gate B18/"));
    EXPECT_EQ(g.stands[0].airport, "LFPG");
    // The location faces of the signs (front and back, a '|' between two),
    // and the named taxiway edge not within 150 m of one alike.
    std::vector<std::string> taxiways;
    for (const Stand& s : g.taxiways) taxiways.push_back(s.name + "/" + s.kind);
    EXPECT_THAT(taxiways, ::testing::ElementsAre("A1/sign", "K/sign", "W/sign", "W/edge"));
    const xplane::AirportGround& other = airports.at("LFXA");
    ASSERT_EQ(other.shapes.size(), 2u);
    EXPECT_EQ(other.shapes[1].name, "H1");
    EXPECT_EQ(other.shapes[1].kind, GroundKind::runway);
}

TEST(GroundReader, BadRowsAreRefusedWithFileAndLine) {
    TempDir dir;
    const std::string head = "I\n1000 Version\n1 10 0 0 LFPG Essai\n";
    for (const TableRow& c : table_rows("tests/import/data/refused.tsv", "ground")) {
        SCOPED_TRACE(c.where);
        write_bytes(dir.file("apt.dat"), head + c.fields.at(0) + "99\n");
        EXPECT_THAT([&] { read_fixture(dir.file("apt.dat")); },
                    ThrowsMessage<Error>(HasSubstr("apt.dat\", " + c.fields.at(1))));
    }
    // An airport's ground beyond any airport's, curves far out of their nodes.
    std::string huge = head + "120 Ligne\n";
    for (size_t i = 0; i * kMaxCurvePoints < xplane::kMaxAirportGroundPoints; ++i)
        huge += "112 49.0 2.0" + std::string(i % 2 ? " 40 10" : " 60 -10") + "\n";
    write_bytes(dir.file("apt.dat"), huge + "115 49.1 2.1\n99\n");
    EXPECT_THAT([&] { read_fixture(dir.file("apt.dat")); },
                ThrowsMessage<Error>(HasSubstr("points de plan au sol pour l'a\xE9rodrome LFPG")));
    // As many plain nodes make a point each, well within it.
    std::string plain = head + "110 2 0.00 90.00 Aire\n";
    for (size_t i = 0; i * kMaxCurvePoints < xplane::kMaxAirportGroundPoints; ++i)
        plain += "111 " + std::to_string(49 + (i % 2) * 1e-3) + " " + std::to_string(2 + i * 1e-6) +
                 "\n";
    write_bytes(dir.file("apt.dat"), plain + "113 49.01 2.0\n99\n");
    EXPECT_EQ(read_fixture(dir.file("apt.dat")).at("LFPG").shapes.at(0).rings.at(0).size(),
              xplane::kMaxAirportGroundPoints / kMaxCurvePoints + 2);
    // A control character in a name is a blank: names are labels only.
    write_bytes(dir.file("apt.dat"), head + "15 49.0 2.0 0 Gate\x03 A1\n99\n");
    EXPECT_EQ(read_fixture(dir.file("apt.dat")).at("LFPG").stands.at(0).name, "Gate  A1");
}

// A square with two holes: pieces without holes that cover the square
// less its holes, none over a hole.
TEST(GroundPieces, HolesStayEmpty) {
    const t_point outer{{49.0, 2.0}, {49.0, 2.01}, {49.01, 2.01}, {49.01, 2.0}};
    const t_point hole1{{49.002, 2.002}, {49.004, 2.002}, {49.004, 2.004}, {49.002, 2.004}};
    const t_point hole2{{49.006, 2.005}, {49.008, 2.005}, {49.008, 2.009}, {49.006, 2.009}};
    EXPECT_EQ(hole_free_pieces({outer}).size(), 1u);
    EXPECT_EQ(hole_free_pieces({outer})[0][2].latitude, 49.01);  // as it came
    const std::vector<t_point> pieces = hole_free_pieces({outer, hole1, hole2});
    ASSERT_GE(pieces.size(), 3u);
    double sum = 0;
    for (const t_point& p : pieces) {
        sum += area(p);
        for (const t_point* hole : {&hole1, &hole2}) {
            const geo_point middle{((*hole)[0].latitude + (*hole)[2].latitude) / 2,
                                   ((*hole)[0].longitude + (*hole)[2].longitude) / 2};
            EXPECT_FALSE(inside(middle, p));
        }
        for (const geo_point& g : p) {
            EXPECT_GE(g.latitude, 49.0 - 1e-9);
            EXPECT_LE(g.longitude, 2.01 + 1e-9);
        }
    }
    EXPECT_NEAR(sum, area(outer) - area(hole1) - area(hole2), 1e-9);
    // A round apron of 6,000 points and a thousand holes along its
    // diagonal: cut after halving, the same area, no hole filled.
    t_point round;
    for (int i = 0; i < 6000; ++i)
        round.push_back(
            {49 + 0.02 * std::cos(i * 2 * M_PI / 6000), 2 + 0.02 * std::sin(i * 2 * M_PI / 6000)});
    std::vector<t_point> rings{round};
    double holes = 0;
    for (int k = 0; k < 1001; ++k) {
        const double lat = 48.995 + k * 1e-5, lon = 1.995 + k * 1e-5, side = 5e-6;
        rings.push_back(
            {{lat, lon}, {lat + side, lon}, {lat + side, lon + side}, {lat, lon + side}});
        holes += area(rings.back());
    }
    sum = 0;
    const std::vector<t_point> many = hole_free_pieces(rings);
    for (const t_point& p : many) {
        sum += area(p);
        for (size_t k = 1; k < rings.size(); k += 100)
            EXPECT_FALSE(
                inside({rings[k][0].latitude + 2.5e-6, rings[k][0].longitude + 2.5e-6}, p));
    }
    EXPECT_NEAR(sum, area(round) - holes, 1e-8);  // points on 1e-7 degree
}

// The ground fixture's airports in the "world" folder's database, with
// their ground tables.
struct GroundDatabase : ::testing::Test {
    GroundDatabase() {
        data = read_folder(dir, "world");
        xplane::read_apt(kFixture, data);
        xplane::DatabaseWriter writer(data, dir.file("out.sqlite"), [](const std::string&) {});
        writer.begin_ground();
        xplane::read_ground(kFixture,
                            [&](const xplane::AirportGround& a) { writer.write_ground(a); });
        writer.finish();
        read = read_fixture(kFixture);
    }
    TempDir dir;
    xplane::NavData data;
    std::map<std::string, xplane::AirportGround> read;
};

// The client format's sections against the golden LFPG set; the GeoJSON;
// the default format the same with and without a ground.
TEST_F(GroundDatabase, WrittenIntoTheClientFormatAndTheGeoJson) {
    Selected db(dir.file("out.sqlite"));
    db.airport("LFPG", 5);
    std::vector<std::string> without_ground, with_ground, client;
    write_sector(without_ground, db.nav, db.frame, {});
    std::vector<std::string> none;
    db.nav.ground = read_ground(db.q, {"LFPG"}, none, true);
    write_sector(with_ground, db.nav, db.frame, {});
    EXPECT_EQ(with_ground, without_ground);

    SectorFormat format;
    format.client = true;
    write_sector(client, db.nav, db.frame, {"a", "b", "c"}, format);
    // The ground's #defines, its [GEO] lines, and [REGIONS] and [LABELS].
    std::string ground;
    bool regions = false;
    for (const std::string& l : client) {
        regions |= l == "[REGIONS]";
        if (regions || l.rfind("#define sol_", 0) == 0 || l.ends_with(" sol_axe") ||
            l.ends_with(" sol_arret"))
            ground += l + "\n";
    }
    // The taxiway names read back, written as free text.
    EXPECT_THAT(freetext_lines(db.nav),
                ::testing::Contains(::testing::EndsWith(":LFPG voies de circulation:K")));
    if (std::getenv("KARVEL_UPDATE_GOLDEN"))
        std::ofstream(KARVEL_SOURCE_DIR "/tests/golden/LFPG_ground.txt", std::ios::binary) << ground;
    EXPECT_EQ(ground, source_file("tests/golden/LFPG_ground.txt"));

    const auto json = nlohmann::json::parse(
        geojson_text(db.nav, db.frame.box, Settings{}.colours, {}, kOutlineDefaultColour));
    std::map<std::string, int> kinds;
    for (const auto& f : json["features"]) {
        const std::string kind = f["properties"]["kind"];
        ++kinds[kind];
        if (f["properties"].value("name", "") == "Terminal S3") {
            EXPECT_EQ(f["geometry"]["type"], "Polygon");
            EXPECT_EQ(f["geometry"]["coordinates"].size(), 2u);  // with its hole
        }
    }
    EXPECT_EQ(kinds["stand"], 4);
    EXPECT_EQ(kinds["ground"], 3);      // the runway and two areas
    EXPECT_EQ(kinds["groundline"], 5);  // the two "Linear Feature" and the three hold/centre runs
}
