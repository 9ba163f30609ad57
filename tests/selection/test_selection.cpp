// The selection box in the statements, codes quoted, and the selections run
// on the shipped sample database.
#include <gtest/gtest.h>

#include <cmath>

#include "core/error.h"
#include "navdb/sqlite_backend.h"
#include "selected.h"
#include "selection/selection.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

// The box's edges belong to it; a box past 180 degrees goes on round the
// globe, east of its west edge or west of its east edge; past a pole there
// is nothing more. What the other statements select, the selections below
// tell on the sample.
TEST(Statements, TheBoxEdgesAndTheAntimeridian) {
    EXPECT_EQ(
        airport_statements(box_texts(48.3, 49.7, 1.5, 3.5))[0],
        (Statement{"select airports.ID,name,ICAO,latitude,longtitude", "from airports",
                   "where airports.latitude>=48.300000", "and airports.latitude<=49.700000",
                   "and airports.longtitude>= 1.500000", "and airports.longtitude<= 3.500000"}));
    EXPECT_EQ(airport_statements(box_texts(-20, -15, 175.5, 182.5))[0].back(),
              "or airports.longtitude<=-177.500000)");
    const BoxTexts west = box_texts(60, 95, -183, -170);
    EXPECT_TRUE(west.across_180);
    EXPECT_EQ(west.lon_min + west.lon_max + west.lat_max, "177.000000-170.00000090.000000");
    const BoxTexts world = box_texts(-95, 1, -100, 300);
    EXPECT_FALSE(world.across_180);
    EXPECT_EQ(world.lon_min + world.lon_max + world.lat_min, "-180.000000180.000000-90.000000");
}

TEST(Statements, CodesStayInsideTheirQuotes) {
    EXPECT_EQ(region_statements("LF")[7].back(), "and waypointlookup.country ='LF'");
    EXPECT_EQ(region_statements("")[0].back(), "and airportlookup.extid like'%'");
    EXPECT_EQ(region_statements("L'")[0].back(), "and airportlookup.extid like'L''%'");
    EXPECT_EQ(position_statement("X' or '1'='1").back(), "where airports.ICAO='X'' or ''1''=''1'");
}

namespace {

// The sample selected as the window does.
struct SelectionTest : ::testing::Test, SampleDatabase, Selected {
    SelectionTest() : Selected(sample_path()) { ctx.airway_levels = false; }
};

}  // namespace

TEST_F(SelectionTest, ByAirportSetsPlaneViewBoxAndEveryTable) {
    select_by_airport(ctx, view, "LFPG", 50);
    const float lat0 = 49.009722f, lon0 = 2.547778f;
    EXPECT_EQ(nav.centre_lat, static_cast<double>(lat0));
    EXPECT_EQ(nav.centre_lon, static_cast<double>(lon0));
    EXPECT_EQ(view.nm_per_deg_lat, 60.0f);
    EXPECT_EQ(view.nm_per_deg_lon, static_cast<float>(std::cos(lat0 * M_PI / 180) * 60));
    EXPECT_EQ(view.range_nm, 50);
    EXPECT_EQ(view.px_per_nm, 12.0f);
    EXPECT_EQ(view.ring_step_nm, 5);
    EXPECT_NEAR(nav.box_lat_max - lat0, 50.0 / 60, 1e-6);
    EXPECT_NEAR(lon0 - nav.box_lon_min, 50.0 / (60 * std::cos(lat0 * M_PI / 180)), 1e-5);
    for (const size_t n : {nav.airports.size(), nav.runways.size(), nav.vors.size(),
                           nav.ndbs.size(), nav.waypoints.size(), nav.airways.size(),
                           nav.sids.size(), nav.stars.size(), memo.lines.size()})
        EXPECT_GT(n, 0u);
    for (const Airport& a : nav.airports) {
        EXPECT_GE(a.latitude, nav.box_lat_min);
        EXPECT_LE(a.longitude, nav.box_lon_max);
    }
    // 25 nm: rings every 2 nm (2.5 to the even neighbour).
    select_by_airport(ctx, view, "lfpg", 25);
    EXPECT_EQ(view.ring_step_nm, 2);
}

// A radius of 0 and an unknown airport (not a box around 0, 0) are refused
// before anything changes; a negative radius selects nothing.
TEST_F(SelectionTest, RefusedSelectionsChangeNothing) {
    select_by_airport(ctx, view, "LFPG", -50);
    EXPECT_TRUE(nav.airports.empty() && nav.waypoints.empty());
    EXPECT_EQ(lists.labels[List::airports], "0 airports");
    select_by_airport(ctx, view, "LFMN", 20);
    const size_t airports = nav.airports.size();
    const double box = nav.box_lat_max, centre = nav.centre_lat;
    EXPECT_THROW(select_by_airport(ctx, view, "LFPG", 0), Error);
    EXPECT_THROW(select_by_airport(ctx, view, "ZZZZ", 100), Error);
    EXPECT_EQ(nav.airports.size(), airports);
    EXPECT_EQ(nav.box_lat_max, box);
    EXPECT_EQ(nav.centre_lat, centre);
    EXPECT_EQ(view.range_nm, 20);
    for (const char* bad : {"0", "5.5", ""}) EXPECT_THROW(radius_from_text(bad), Error) << bad;
    EXPECT_EQ(radius_from_text("-3"), -3);
}

// The procedure paths of a region are built on the region's own plane.
TEST_F(SelectionTest, ByRegionBuildsPathsOnTheRegionsPlane) {
    select_by_airport(ctx, view, "EGLL", 20);  // another plane first
    select_by_region(ctx, view, "LS");
    const double centre = (nav.wpt_lat_max + nav.wpt_lat_min) / 2;
    EXPECT_EQ(nav.centre_lat, centre);
    EXPECT_EQ(view.nm_per_deg_lon, static_cast<float>(std::cos(centre * M_PI / 180) * 60));
    EXPECT_EQ(view.range_nm, 400);
    EXPECT_EQ(view.ring_step_nm, 40);
    EXPECT_EQ(view.px_per_nm, 1.5f);

    // The CD leg of the Geneva SID ends 5 nm from the GVA VOR on that plane.
    const ROUTE* sid = nullptr;
    for (const ROUTE& r : nav.sids)
        if (r.name == "SPR 4J") sid = &r;
    ASSERT_NE(sid, nullptr);
    const int gva = nav.vors.ids.find(nav.sids[0].legs[1].navid);
    ASSERT_GE(gva, 0);
    const VOR& v = nav.vors[static_cast<size_t>(gva)];
    const double dx = (sid->lines[0].lon1 - v.longitude) * view.nm_per_deg_lon;
    const double dy = (sid->lines[0].lat1 - v.latitude) * 60;
    EXPECT_NEAR(std::hypot(dx, dy), 5.0, 1e-9);
}

// "like '%'" takes every airport with its procedures, "= ''" no navaid or
// waypoint; the legs of each procedure keep their row order.
TEST_F(SelectionTest, TheWholeDatabaseWithAnEmptyRegionCode) {
    select_by_region(ctx, view, "");
    EXPECT_EQ(nav.airports.size(), 19u);
    EXPECT_TRUE(nav.waypoints.empty());
    EXPECT_TRUE(nav.vors.size() > 0 && nav.ndbs.empty());  // localisers only
    EXPECT_EQ(nav.centre_lat, 0);
    for (const ROUTE& r : nav.sids)
        for (size_t i = 1; i < r.legs.size(); ++i)
            EXPECT_LT(std::stoi(r.legs[i - 1].id), std::stoi(r.legs[i].id)) << r.name;
}
