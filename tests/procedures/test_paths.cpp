// Leg paths against geometry worked out independently: circle and line
// intersections solved as a quadratic, intercepts as a linear system; the
// inspection texts of legs, segments and airways.
#include <gtest/gtest.h>

#include <cmath>

#include "procedures/leg_lists.h"
#include "procedures/paths.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

constexpr double kDeg = M_PI / 180;

struct Plane {
    double kx, ky;  // nm per degree east and north
    double x(geo_point p, geo_point o) const { return (p.longitude - o.longitude) * kx; }
    double y(geo_point p, geo_point o) const { return (p.latitude - o.latitude) * ky; }
};

// The later crossing, along course c from P, of the circle of radius R about N.
std::optional<geo_point> later_crossing(geo_point p, geo_point n, double c, double r, Plane pl) {
    const double ux = std::sin(c * kDeg), uy = std::cos(c * kDeg);
    const double px = pl.x(p, n), py = pl.y(p, n);
    const double b = px * ux + py * uy, cc = px * px + py * py - r * r;
    const double disc = b * b - cc;
    if (disc < 0) return std::nullopt;
    const double t = -b + std::sqrt(disc);
    return geo_point{n.latitude + (py + t * uy) / pl.ky, n.longitude + (px + t * ux) / pl.kx};
}

// Distance along course c from P to the line through N with bearing b.
double crossing_distance(geo_point p, geo_point n, double c, double b, Plane pl) {
    // P + d u = N + s v  →  d ux - s vx = nx, d uy - s vy = ny (Cramer)
    const double ux = std::sin(c * kDeg), uy = std::cos(c * kDeg);
    const double vx = std::sin(b * kDeg), vy = std::cos(b * kDeg);
    const double nx = pl.x(n, p), ny = pl.y(n, p);
    return (nx * -vy - (-vx) * ny) / (ux * -vy - (-vx) * uy);
}

const PlaneScale kScale{60.0f, 39.3f};
const Plane kPlane{static_cast<double>(39.3f), 60.0};

// A leg: its code, fix, navaid, course, DME distance and radial.
t_leg leg(const char* code, geo_point fix = {}, geo_point nav = {}, double course = 0,
          double navdist = 0, double navbear = 0, const char* transition = "") {
    return {.transition = transition,
            .trackcode = code,
            .wptlat = fix.latitude,
            .wptlon = fix.longitude,
            .navlat = nav.latitude,
            .navlon = nav.longitude,
            .navbear = navbear,
            .navdist = navdist,
            .course = course};
}

// A procedure, with the runway end it starts from when `runway` is given.
ROUTE procedure(std::vector<t_leg> legs, std::optional<geo_point> runway = {}, bool known = true) {
    return {.icao = "LFAA",
            .name = "TEST 1A",
            .legs = std::move(legs),
            .rwy_lat = runway ? runway->latitude : 0,
            .rwy_lon = runway ? runway->longitude : 0,
            .has_rwy_position = runway && known};
}

std::vector<std::string> run(NavTables& nav, PlaneScale scale = kScale) {
    MemoLines memo;
    build_procedure_paths(nav, scale, memo);
    return memo.lines;
}

}  // namespace

TEST(DmeCrossing, TheLaterCrossingAlongTheCourse) {
    const geo_point n{48.0, 2.0};
    struct Case {
        geo_point p;
        double course, radius;
    };
    const Case cases[] = {
        {{48.02, 2.01}, 265, 12},  // from near the navaid outwards
        {{48.3, 2.0}, 180, 10},    // towards the navaid from outside: beyond it
        {{47.9, 1.7}, 45, 5.5},    // passing beside it
        {{48.0, 2.0}, 123.4, 7},   // from the navaid itself
    };
    for (const Case& c : cases) {
        const auto expected = later_crossing(c.p, n, c.course, c.radius, kPlane);
        ASSERT_TRUE(expected);
        const double theta = dme_crossing_bearing(c.p, n, c.course, c.radius, kScale);
        ASSERT_NE(theta, -1);
        const geo_point q = point_at(n, c.radius, theta, kScale);
        EXPECT_NEAR(q.latitude, expected->latitude, 1e-9) << c.course;
        EXPECT_NEAR(q.longitude, expected->longitude, 1e-9) << c.course;
    }
    // Flying south towards the navaid from the north: the crossing south of it.
    EXPECT_NEAR(dme_crossing_bearing({48.3, 2.0}, n, 180, 10, kScale), 180, 1e-9);
    // Across 180 degrees: 6 nm west of the navaid, flying north, the circle
    // of 10 nm is crossed 8 nm north of it (a bearing of 323.13).
    const double across = dme_crossing_bearing({0, 179.9}, {0, -179.9}, 0, 10, {60, 30});
    EXPECT_NEAR(std::fmod(across + 360, 360), 360 - std::atan2(6, 8) * 180 / M_PI, 1e-6);
    // A line that misses the circle, and a zero distance.
    EXPECT_EQ(dme_crossing_bearing({48.3, 2.5}, n, 180, 10, kScale), -1);
    EXPECT_EQ(dme_crossing_bearing({48.3, 2.0}, n, 180, 0, kScale), -1);
}

TEST(Intercept, SignedDistanceToTheNextLegsLine) {
    const geo_point p{45.0, 5.0}, n{45.2, 5.3};
    for (const auto& [c, b] :
         {std::pair{90.0, 272.0}, {300.0, 335.0}, {10.0, 200.0}, {200.0, 240.0}}) {
        const double expected = crossing_distance(p, n, c, b, kPlane);
        EXPECT_NEAR(intercept_distance(p, n, c, b, kScale), expected, 1e-9) << c << "/" << b;
    }
    // An exact reciprocal is parallel up to rounding: no point, not one 1e19 nm away.
    EXPECT_EQ(intercept_distance(p, n, 45, 225, kScale), -1);
    EXPECT_EQ(intercept_distance(p, n, 225, 45, kScale), -1);
}

TEST(Paths, FixLegsChainAcrossTransitionsAndTheLastEndStaysAtZero) {
    NavTables nav;
    auto in = [](const char* code, geo_point fix, const char* transition) {
        return leg(code, fix, {}, 0, 0, 0, transition);
    };
    nav.stars.append(procedure({in("IF", {45, 5}, "A"), in("TF", {46, 6}, "A"), in("HM", {}, "A"),
                                in("IF", {0, 0}, "B"), in("DF", {47, 7}, "B"), in("VA", {}, "B"),
                                in("CF", {48, 8}, "B"), leg("XX")}));
    EXPECT_TRUE(run(nav).empty());
    // The end of A runs to B's first point, (0, 0).
    std::vector<std::string> got;
    for (const LINE& l : nav.stars[0].lines)
        got.push_back(l.transition + " " + std::to_string(static_cast<int>(l.lat1)) + "," +
                      std::to_string(static_cast<int>(l.lon1)) + " " +
                      std::to_string(static_cast<int>(l.lat2)) + "," +
                      std::to_string(static_cast<int>(l.lon2)));
    EXPECT_THAT(
        got, ElementsAre("A 45,5 46,6", "A 46,6 0,0", "B 0,0 47,7", "B 47,7 48,8", "B 48,8 0,0"));
}

TEST(Paths, DmeLegsAndTheirMemoLines) {
    NavTables nav;
    const geo_point n{0, 0};
    // FD from the navaid north to 3.75 nm: 0.0625 degrees, written with the
    // tie going away from zero; K takes 2.5 to 2.
    nav.sids.append(procedure({leg("FD", n, n, 0, 3.75), leg("FD", n, n, 180, 2.5),
                               leg("FD", {1, 1}, n, 0, 3)}));  // misses: nothing
    const PlaneScale square{60.0f, 60.0f};
    const auto memo = run(nav, square);
    EXPECT_THAT(memo, ElementsAre("LFAA-TEST 1A  FD 0  0  4     0.063:   0.000",
                                  "LFAA-TEST 1A  FD 180  180  2    -0.042:   0.000"));
    EXPECT_EQ(nav.sids[0].lines.size(), 2u);
}

TEST(Paths, CdStartsFromTheSidsRunwayOrThePathsEnd) {
    NavTables nav;
    const geo_point n{45, 5};
    const t_leg cd = leg("CD", {0, 0}, n, 90, 10);
    nav.stars.append(procedure({cd}));  // a STAR's empty path: nothing
    nav.sids.append(procedure({cd}, geo_point{45, 4.9}));
    // A runway end that was not loaded: nothing.
    nav.sids.append(procedure({cd}, geo_point{45, 4.9}, false));
    nav.sids.append(procedure({leg("IF", {45.05, 5}), cd}));  // from the path's end
    const auto memo = run(nav);
    EXPECT_TRUE(nav.stars[0].lines.empty() && nav.sids[1].lines.empty());
    ASSERT_EQ(memo.size(), 2u);
    const auto a = later_crossing({45, 4.9}, n, 90, 10, kPlane);
    EXPECT_NEAR(nav.sids[0].lines[0].lat1, a->latitude, 1e-9);
    EXPECT_NEAR(nav.sids[0].lines[0].lon1, a->longitude, 1e-9);
    const auto b = later_crossing({45.05, 5}, n, 90, 10, kPlane);
    EXPECT_NEAR(nav.sids[2].lines[1].lon1, b->longitude, 1e-9);
    EXPECT_EQ(nav.sids[2].lines[0].lon2, nav.sids[2].lines[1].lon1);
}

TEST(Paths, InterceptsAimAtTheNextLegsLine) {
    NavTables nav;
    const geo_point start{45, 5}, n{45.2, 5.3};
    auto with_next = [&](double c, t_leg next) {
        return procedure({leg("IF", start), leg("CI", {}, {}, c), next});
    };
    nav.sids.append(with_next(90, leg("CF", {}, n, 93)));   // 0: parallel
    nav.sids.append(with_next(90, leg("CF", {}, n, 272)));  // 1: 180 - 90 + 272 = 362: computed
    nav.sids.append(with_next(272, leg("CF", {}, n, 90)));  // 2: 180 - 272 + 90 = -2: parallel
    nav.sids.append(with_next(60, leg("AF", {}, n, 10, 0, 200)));  // 3: aims at navbear 200
    nav.sids.append(with_next(270, leg("CF", {}, n, 0)));          // 4: crossing behind: nothing
    const t_leg first = leg("VI", {}, {}, 90);
    nav.sids.append(procedure({first, leg("CF", {}, n, 0)}));  // 5: index 0
    nav.sids.append(procedure({leg("IF", {45, 5}), first}));   // 6: last leg
    const auto memo = run(nav);

    // Parallel, a point, parallel, a point.
    EXPECT_THAT(memo, ElementsAre("LFAA-TEST 1A  90  93", ::testing::_, "LFAA-TEST 1A  272  90",
                                  ::testing::StartsWith("LFAA-TEST 1A  CI 60  200  ")));
    const double d1 = crossing_distance(start, n, 90, 272, kPlane);
    ASSERT_GT(d1, 0);
    const auto& l1 = nav.sids[1].lines;
    ASSERT_EQ(l1.size(), 3u);  // IF, the intercept, CF (at 0, 0)
    EXPECT_NEAR(l1[1].lon1, start.longitude + d1 / kPlane.kx, 1e-9);
    EXPECT_NEAR(l1[1].lat1, start.latitude, 1e-12);
    EXPECT_EQ(memo[1].substr(0, 31),
              "LFAA-TEST 1A  CI 90  272  " + std::to_string(std::lround(d1)) + "  ");
    const double d3 = crossing_distance(start, n, 60, 200, kPlane);
    ASSERT_GT(d3, 0);
    EXPECT_NEAR(nav.sids[3].lines[1].lat1, start.latitude + d3 * std::cos(60 * kDeg) / 60, 1e-9);
    EXPECT_EQ(
        std::tuple(nav.sids[4].lines.size(), nav.sids[5].lines.size(), nav.sids[6].lines.size()),
        std::tuple(2ul, 1ul, 1ul));
}

namespace {

NavTables with_names() {
    NavTables nav;
    nav.waypoints.append({"W1", "MOPAR"});
    nav.vors.append({"N1", "CGN"});
    nav.ndbs.append({"N2", "BT"});
    return nav;
}

}  // namespace

TEST(Inspection, LegItemsWithEveryPart) {
    const NavTables nav = with_names();
    // Names are found without regard to case.
    const t_leg a{.transition = "RW26",
                  .trackcode = "AF",
                  .wptid = "w1",
                  .turndir = "R",
                  .navid = "N1",
                  .navdist = 12,
                  .course = 360,
                  .distance = 2.5,
                  .centerid = "W1"};
    EXPECT_EQ(leg_item(nav, a),
              "AF MOPAR turn R navaid:CGN   12nm 360\xB0    3nm center:MOPAR transition:RW26");

    // A fix not loaded, an NDB, course 0, nothing else.
    const t_leg b{.trackcode = "TF", .wptid = "W9", .wptlat = 48.5, .wptlon = 2.25, .navid = "N2"};
    EXPECT_EQ(leg_item(nav, b), "TF ( 48.50000,  2.25000)       transition:");

    // Values that are not 0 until made single precision, and ties.
    const t_leg c{
        .trackcode = "CF", .wptlat = -0.5, .navdist = 2.5, .course = 1e-50, .distance = -3.5};
    EXPECT_EQ(leg_item(nav, c), "CF ( -0.50000,  0.00000)      3nm    -4nm  transition:");
}

TEST(Inspection, SegmentsAfterTheirTransitionAndAirwaysBare) {
    const NavTables nav = with_names();
    const ROUTE r{.lines = {{"RW26", 49.01, 2.5, 48.5, -0.123456}, {"", 48.5, -0.123456, 0, 0}}};
    const Inspection i = inspect_procedure(nav, r);
    EXPECT_TRUE(i.legs.empty());
    EXPECT_THAT(i.segments, ElementsAre("RW26 49.01000: 2.50000 / 48.50000:-0.12346",
                                        " 48.50000:-0.12346 /  0.00000: 0.00000"));
    EXPECT_EQ(inspect_airway(r)[0], "49.01000: 2.50000 / 48.50000:-0.12346");
    EXPECT_TRUE(inspect_airway(ROUTE{}).empty());
}
