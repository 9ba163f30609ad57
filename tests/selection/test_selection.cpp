// Each loader against a small database made here (tables of loaders.sql);
// the selection box in the statements, codes quoted, and the selections run
// on the shipped sample database.
#include <gtest/gtest.h>

#include <cmath>

#include "core/error.h"
#include "core/numtext.h"
#include "navdb/sqlite_backend.h"
#include "selected.h"
#include "selection/loaders.h"
#include "selection/selection.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct LoaderTest : ::testing::Test {
    LoaderTest() {
        build_database(dir.file("f.sqlite"), source_file("tests/selection/loaders.sql"));
        q.set_connection(std::make_shared<SqliteConnection>(dir.file("f.sqlite")));
    }
    void sql(const std::string& s) { build_database(dir.file("f.sqlite"), s); }
    // The rows of tests/selection/data/NAME.sql.
    void rows(const std::string& name) { sql(source_file("tests/selection/data/" + name + ".sql")); }
    Statement all(const std::string& table) { return {"select * from " + table, "order by rowid"}; }

    TempDir dir;
    Query q;
    NavTables nav;
    SelectionFrame frame;
    RecordingView view;
    RecordingProgress progress;
    MemoLines memo;
    LoadContext ctx{q, nav, frame, view, progress, memo};
};

}  // namespace

TEST(FrequencyText, HexadecimalDigitsReadAsDecimal) {
    EXPECT_EQ(frequency_text(0x1143000) + frequency_text(0x3750000) + frequency_text(0x95000) +
                  frequency_text(0x1153500) + frequency_text(0x1089500),
              "114.300375.000 9.500115.350108.950");
    EXPECT_THROW(frequency_text(0x1A43000), Error);
    EXPECT_THROW(frequency_text(-1), Error);
    // Halves to the even neighbour.
    EXPECT_EQ(whole_text(92.5) + " " + whole_text(93.5) + " " + whole_text(265.49), "92 94 265");
}

TEST_F(LoaderTest, AirportsAndTheirList) {
    load_airports(ctx, all("apt"));
    ASSERT_EQ(nav.airports.size(), 2u);
    EXPECT_EQ(nav.airports.ids().find("2"), 1);
    EXPECT_EQ(nav.airports[1].icao + nav.airports[1].freq, "LFBB");
    EXPECT_EQ(view.lists[List::airports], (std::vector<std::string>{"LFAA:ALPHA", "LFBB:BRAVO"}));
    EXPECT_EQ(view.labels[List::airports], "2 airports");
    EXPECT_EQ(progress.maximum, 2);
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 0, 1}));
    EXPECT_TRUE(!q.active() && q.sql().empty());
}

TEST_F(LoaderTest, NavaidsSplitOnTypesFiveAndSevenAndStopAtABadRow) {
    rows("navaids");
    load_navaids(ctx, all("nav"));
    ASSERT_EQ(nav.vors.size() + nav.ndbs.size(), 4u);
    EXPECT_EQ(nav.ndbs[1].freq, " 9.500");
    EXPECT_EQ(std::pair(nav.vors.ids().find("13"), nav.ndbs.ids().find("12")), std::pair(1, 1));
    EXPECT_EQ(view.lists[List::vor][0], "L'AIGLE 114.300 (VOR-DME)");
    EXPECT_EQ(view.labels[List::vor] + ", " + view.labels[List::ndb], "2 VOR, 2 NDB");

    // A type that is not a number, or a frequency with a hexadecimal letter,
    // stops the load at that row: the rows before it stay, the lists do not refresh.
    for (const char* bad : {"(14, 'BAD', 'X', 'VOR', 'B', 18100224, 0, 0)",
                            "(14, 'BAD', '2', 'VOR', 'B', 27537408, 0, 0)"}) {  // 0x1A43000
        sql("delete from nav where ID >= 14; insert into nav values " + std::string(bad) +
            "; insert into nav values (15, 'AFT', '2', 'VOR', 'A', 18100224, 0, 0);");
        view.lists.clear();
        EXPECT_THROW(load_navaids(ctx, all("nav")), Error);
        EXPECT_EQ(nav.vors.size() + nav.ndbs.size(), 4u);
        EXPECT_TRUE(view.lists[List::vor].empty());
    }
}

TEST_F(LoaderTest, WaypointExtentIncludingAnEmptyResult) {
    sql("insert into wpt values (1, 'A', 'ALPHA', 45, 5), (2, 'B', 'BRAVO', 44.5, 7),"
        "(3, 'C', 'CHARLIE', 46, 4.5);");
    const auto extent = [&] {
        return std::tuple(frame.extent.lat_min, frame.extent.lat_max, frame.extent.lon_min,
                          frame.extent.lon_max);
    };
    load_waypoints(ctx, all("wpt"));
    EXPECT_EQ(extent(), std::tuple(44.5, 46.0, 4.5, 7.0));
    EXPECT_TRUE(nav.waypoints[2].selected);
    EXPECT_EQ(view.labels[List::waypoints], "3 Wayoints");
    EXPECT_EQ(view.lists[List::waypoints][1], "BRAVO");

    // Either side of 180 degrees the extent is the narrow band across it.
    sql("insert into wpt values (4, 'D', 'DELTA', -17, 179.5), (5, 'E', 'ECHO', -17, -179.8),"
        "(6, 'F', 'FOXTROT', -16, -178);");
    load_waypoints(ctx, {"select * from wpt where ID > 3"});
    EXPECT_EQ(extent(), std::tuple(-17.0, -16.0, 179.5, 182.0));
    load_waypoints(ctx, {"select * from wpt where ID = 2"});
    EXPECT_EQ(extent(), std::tuple(44.5, 44.5, 7.0, 7.0));
    // Spread over more than half the globe, the widest gap across 180: the
    // extent stays the smallest and largest longitude.
    sql("insert into wpt values (7, 'G', 'G', 1, -100), (8, 'H', 'H', 1, -10), (9, 'I', 'I', 1, 10),"
        "(10, 'J', 'J', 1, 100);");
    load_waypoints(ctx, {"select * from wpt where ID >= 7"});
    EXPECT_EQ(extent(), std::tuple(1.0, 1.0, -100.0, 100.0));
    // Rows off the globe: the first twenty named, all counted.
    sql("with recursive n(i) as (select 100 union all select i + 1 from n where i < 121)"
        " insert into wpt select i, 'X' || i, '', 95, 0 from n;");
    load_waypoints(ctx, {"select * from wpt where ID >= 100"});
    EXPECT_EQ(ctx.off_globe_count, 22u);
    ASSERT_EQ(ctx.off_globe.size(), 20u);
    EXPECT_EQ(ctx.off_globe.back(), "waypoint X119");
    load_waypoints(ctx, {"select * from wpt where ID in (2, 100) order by ID desc"});
    EXPECT_EQ(extent(), std::tuple(44.5, 44.5, 7.0, 7.0));  // begun at the first on the globe
    load_waypoints(ctx, {"select * from wpt where ID = 0"});
    EXPECT_EQ(extent(), std::tuple(0.0, 0.0, 0.0, 0.0));
    EXPECT_EQ(view.labels[List::waypoints], "0 Wayoints");
}

TEST_F(LoaderTest, RunwayEndsPairByIdentAndAirport) {
    rows("runways");
    load_runways(ctx, all("rw"));
    // 09/27 paired, and row 10's 27 left alone (an end already paired stays
    // so); 26 alone; 09L/27R; 27L alone; 09C/27C; "9" alone; the other
    // airport's 09 is not row 2's; "27c" is not a capital C. Idents whose
    // number is no number pair with nothing and stop nothing; the same letter
    // other than L and R pairs (true headings). Two runways 18/36 (a paved
    // one and a grass one) listed 18, 36, 36, 18 keep their own ends.
    std::vector<std::string> got;
    for (const RUNWAY& r : nav.runways) got.push_back(r.ident1 + "/" + r.ident2);
    EXPECT_EQ(got, (std::vector<std::string>{
                       "09/27", "26/",  "09L/27R", "27L/", "09C/27C", "9/",      "27/",
                       "09/",   "27c/", "09C/",    "7R/",  "25L/",    "08T/26T", "H1/",
                       "08L/",  "26L/", "xx/",     "10R/", "28R/",    "18/36",   "36/18"}));
    const RUNWAY& first = nav.runways[0];  // headings kept as numbers until written
    EXPECT_EQ(std::tuple(first.id2, first.heading1, first.heading2, first.lat2),
              std::tuple("2", 90.4, 270.5, 2.0));
    EXPECT_EQ(std::tuple(nav.runways.ids2().find("2"), nav.runways.ids2().find("10"),
                         nav.runways.ids().find("10")),
              std::tuple(0, -1, 6));
    EXPECT_EQ(nav.runways.ids2().find(""), -1);  // unpaired places never match
    EXPECT_EQ(nav.runways[1].lat2, 0);
    EXPECT_EQ(nav.runways.ids().find("13"), 9);
    EXPECT_EQ(std::pair(nav.runways.ids2().find("25"), nav.runways.ids2().find("27")),
              std::pair(19, 20));
}

TEST_F(LoaderTest, LocalisersFollowTheNavaidsAndFlagTheirRunwayEnds) {
    rows("localisers");
    load_airports(ctx, all("apt"));
    load_navaids(ctx, all("nav"));
    load_runways(ctx, all("rw"));
    load_ils(ctx, all("ils"));
    ASSERT_EQ(nav.vors.size(), 4u);
    EXPECT_EQ(nav.vors[1].desc + " " + nav.vors[1].runway_id, "ILS 2");
    EXPECT_TRUE(nav.vors.find("10") &&
                !nav.vors.find("20"));  // localisers are not in the VOR index
    EXPECT_EQ(std::tuple(nav.runways[0].ils1, nav.runways[0].ils2, nav.runways[1].ils1),
              std::tuple(false, true, true));
    EXPECT_EQ(view.labels[List::vor], "1 VOR");
    EXPECT_EQ(view.lists[List::vor],
              (std::vector<std::string>{"L'AIGLE 114.300 (VOR-DME)", "IAB 110.300 (ILS)",
                                        "IBB 110.300 (ILS)", "INO 110.300 (ILS)"}));
    // The mark shows end 1 only.
    EXPECT_EQ(view.lists[List::runways],
              (std::vector<std::string>{"LFAA:09-27  ", "LFBB:04-  (ILS)"}));
    EXPECT_EQ(view.labels[List::runways], "2 runways");
}

TEST_F(LoaderTest, AirwaysGroupTheirLegsWhereverTheyCome) {
    rows("airways");
    load_waypoints(ctx, all("wpt"));
    load_airways(ctx, all("awy"));
    ASSERT_EQ(nav.airways.size(), 3u);
    ASSERT_EQ(nav.airways[0].lines.size(), 2u);
    EXPECT_EQ(std::pair(nav.airways[0].lines[1].lat1, nav.airways[0].lines[1].lon2),
              std::pair(46.0, 7.0));
    // Its second waypoint is not loaded.
    EXPECT_TRUE(nav.airways[2].lines.empty() && nav.airways[2].selected);
    EXPECT_EQ(view.lists[List::airways], (std::vector<std::string>{"UN1", "UM2", "UL3"}));
    EXPECT_EQ(view.labels[List::airways], "3 airways");
}

TEST_F(LoaderTest, ProceduresTheirRunwayEndsLegsAndTransitions) {
    rows("procedures");
    load_runways(ctx, all("rw"));
    load_terminals(ctx, all("trm"));
    ASSERT_EQ(std::pair(nav.stars.size(), nav.sids.size()), std::pair(1ul, 4ul));
    EXPECT_EQ(view.labels[List::sids] + ", " + view.labels[List::stars], "4 SID, 1 STAR");
    EXPECT_THAT(view.lists[List::stars], ElementsAre("LFAA-STAR A"));
    EXPECT_EQ(view.lists[List::sids][0], "LFAA-SID B");
    // Ends 1 and 2; an unknown runway end gives no position, not the previous SID's.
    const auto where = [&](const ROUTE& r) {
        return std::tuple(r.rwy_lat, r.rwy_lon, r.has_rwy_position);
    };
    EXPECT_EQ(where(nav.sids[0]), std::tuple(45.1, 5.1, true));
    EXPECT_EQ(where(nav.sids[1]), std::tuple(45.2, 5.2, true));
    EXPECT_EQ(where(nav.sids[2]), std::tuple(0.0, 0.0, false));

    load_terminal_legs(ctx, all("leg"));
    const ROUTE& star = nav.stars[0];
    ASSERT_EQ(star.legs.size(), 3u);  // terminal 1 is the STAR, not the SID of the same ID
    EXPECT_THAT(star.transitions, ElementsAre("RW09", ""));
    EXPECT_EQ(star.legs[1].transition, "rw09");
    // The paths were built.
    EXPECT_EQ(std::pair(star.lines.size(), nav.sids[0].legs.size()), std::pair(3ul, 1ul));
}

// The box's edges belong to it; a box past 180 degrees goes on round the
// globe, east of its west edge or west of its east edge; past a pole there
// is nothing more. What the other statements select, the selections below
// tell on the sample.
TEST(Statements, TheBoxEdgesAndTheAntimeridian) {
    EXPECT_EQ(
        airport_statements(box_texts(48.3, 49.7, 1.5, 3.5)).airports,
        (Statement{"select airports.ID,name,ICAO,latitude,longtitude", "from airports",
                   "where airports.latitude>=48.300000", "and airports.latitude<=49.700000",
                   "and airports.longtitude>= 1.500000", "and airports.longtitude<= 3.500000"}));
    EXPECT_EQ(airport_statements(box_texts(-20, -15, 175.5, 182.5)).airports.back(),
              "or airports.longtitude<=-177.500000)");
    const BoxTexts west = box_texts(60, 95, -183, -170);
    EXPECT_TRUE(west.across_180);
    EXPECT_EQ(west.lon_min + west.lon_max + west.lat_max, "177.000000-170.00000090.000000");
    const BoxTexts world = box_texts(-95, 1, -100, 300);
    EXPECT_FALSE(world.across_180);
    EXPECT_EQ(world.lon_min + world.lon_max + world.lat_min, "-180.000000180.000000-90.000000");
}

TEST(Statements, CodesStayInsideTheirQuotes) {
    EXPECT_EQ(region_statements("LF").airways.back(), "and waypointlookup.country ='LF'");
    EXPECT_EQ(region_statements("").airports.back(), "and airportlookup.extid like'%'");
    EXPECT_EQ(region_statements("L'").airports.back(), "and airportlookup.extid like'L''%'");
    EXPECT_EQ(position_statement("X' or '1'='1").back(), "where airports.ICAO='X'' or ''1''=''1'");
}

namespace {

// The sample selected as the window does.
struct SelectionTest : ::testing::Test, SampleDatabase, Selected {
    SelectionTest() : Selected(sample_path()) { ctx.airway_levels = false; }
};

}  // namespace

TEST_F(SelectionTest, ByAirportSetsPlaneViewAndBox) {
    select_by_airport(ctx, height, "LFPG", 50);
    const float lat0 = 49.009722f, lon0 = 2.547778f;
    EXPECT_EQ(frame.centre_lat, static_cast<double>(lat0));
    EXPECT_EQ(frame.centre_lon, static_cast<double>(lon0));
    EXPECT_EQ(frame.plane.nm_per_deg_lat, 60.0f);
    EXPECT_EQ(frame.plane.nm_per_deg_lon, static_cast<float>(std::cos(lat0 * M_PI / 180) * 60));
    EXPECT_EQ(frame.view.range_nm, 50);
    EXPECT_EQ(frame.view.px_per_nm, 12.0f);
    EXPECT_EQ(frame.view.ring_step_nm, 5);
    EXPECT_NEAR(frame.box.lat_max - lat0, 50.0 / 60, 1e-6);
    EXPECT_NEAR(lon0 - frame.box.lon_min, 50.0 / (60 * std::cos(lat0 * M_PI / 180)), 1e-5);
    // 25 nm: rings every 2 nm (2.5 to the even neighbour).
    select_by_airport(ctx, height, "lfpg", 25);
    EXPECT_EQ(frame.view.ring_step_nm, 2);
}

// A radius of 0 and an unknown airport (not a box around 0, 0) are refused
// before anything changes; a negative radius selects nothing.
TEST_F(SelectionTest, RefusedSelectionsChangeNothing) {
    select_by_airport(ctx, height, "LFPG", -50);
    EXPECT_TRUE(nav.airports.empty() && nav.waypoints.empty());
    EXPECT_EQ(lists.labels[List::airports], "0 airports");
    select_by_airport(ctx, height, "LFMN", 20);
    const size_t airports = nav.airports.size();
    const double box = frame.box.lat_max, centre = frame.centre_lat;
    EXPECT_THROW(select_by_airport(ctx, height, "LFPG", 0), Error);
    EXPECT_THAT([&] { select_by_airport(ctx, height, "ZZZZ", 100); },
                ::testing::ThrowsMessage<Error>(::testing::HasSubstr("inconnu")));
    EXPECT_EQ(nav.airports.size(), airports);
    EXPECT_EQ(frame.box.lat_max, box);
    EXPECT_EQ(frame.centre_lat, centre);
    EXPECT_EQ(frame.view.range_nm, 20);
}

// The procedure paths of a region are built on the region's own plane.
TEST_F(SelectionTest, ByRegionBuildsPathsOnTheRegionsPlane) {
    select_by_airport(ctx, height, "EGLL", 20);  // another plane first
    select_by_region(ctx, height, "LS");
    const double centre = (frame.extent.lat_max + frame.extent.lat_min) / 2;
    EXPECT_EQ(frame.centre_lat, centre);
    EXPECT_EQ(frame.plane.nm_per_deg_lon, static_cast<float>(std::cos(centre * M_PI / 180) * 60));
    EXPECT_EQ(frame.view.range_nm, 400);
    EXPECT_EQ(frame.view.ring_step_nm, 40);
    EXPECT_EQ(frame.view.px_per_nm, 1.5f);

    // The CD leg of the Geneva SID ends 5 nm from the GVA VOR on that plane.
    const ROUTE* sid = nullptr;
    for (const ROUTE& r : nav.sids)
        if (r.name == "SPR 4J") sid = &r;
    ASSERT_NE(sid, nullptr);
    const int gva = nav.vors.ids().find(nav.sids[0].legs[1].navid);
    ASSERT_GE(gva, 0);
    const VOR& v = nav.vors[static_cast<size_t>(gva)];
    const double dx = (sid->lines[0].lon1 - v.longitude) * frame.plane.nm_per_deg_lon;
    const double dy = (sid->lines[0].lat1 - v.latitude) * 60;
    EXPECT_NEAR(std::hypot(dx, dy), 5.0, 1e-9);

    // A region across 180 degrees is centred in its band, on the globe:
    // halfway from 179.5 E to 177.5 W is 179 W.
    build_database(sample_path(),
                   "insert into waypoints (ID, ident, name, latitude, longtitude) values"
                   " (900001, 'NAUSO', 'NAUSO', -17, 179.5), (900002, 'TUVIR', 'TUVIR', -16, -177.5);"
                   "insert into waypointlookup (id, country) values (900001, 'NF'), (900002, 'NF');");
    select_by_region(ctx, height, "NF");
    EXPECT_EQ(nav.waypoints.size(), 2u);
    EXPECT_EQ(frame.centre_lon, -179.0);
    EXPECT_EQ(frame.centre_lat, -16.5);
}

// "like '%'" takes every airport with its procedures, "= ''" no navaid or
// waypoint; the legs of each procedure keep their row order.
TEST_F(SelectionTest, TheWholeDatabaseWithAnEmptyRegionCode) {
    select_by_region(ctx, height, "");
    EXPECT_EQ(nav.airports.size(), 19u);
    EXPECT_TRUE(nav.waypoints.empty());
    EXPECT_TRUE(nav.vors.size() > 0 && nav.ndbs.empty());  // localisers only
    EXPECT_EQ(frame.centre_lat, 0);
    for (const ROUTE& r : nav.sids)
        for (size_t i = 1; i < r.legs.size(); ++i)
            EXPECT_LT(std::stoi(r.legs[i - 1].id), std::stoi(r.legs[i].id)) << r.name;

    // The procedures' points outside the selection, read by the hundred.
    build_database(sample_path(),
                   "with recursive n(i) as (select 800000 union all select i + 1 from n"
                   " where i < 800449) insert into waypoints (ID, ident, name, latitude,"
                   " longtitude) select i, 'P' || i, '', 45, 5 from n;");
    ROUTE many{.id = "many", .legs = {}};
    for (int i = 800000; i < 800450; ++i) many.legs.push_back({.wptid = std::to_string(i)});
    nav.sids.append(std::move(many));
    const auto outside = procedure_points(q, nav);
    size_t found = 0;
    for (int i = 800000; i < 800450; ++i) found += outside.count(std::to_string(i));
    EXPECT_EQ(found, 450u);
}
