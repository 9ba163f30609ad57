// The inspection texts of legs, segments and airways.
#include <gtest/gtest.h>

#include "procedures/leg_lists.h"

using namespace karvel;

namespace {

NavState with_names() {
    NavState nav;
    FIXE w;
    w.id = "W1";
    w.ident = "MOPAR";
    nav.waypoints.append(w);
    VOR v;
    v.id = "N1";
    v.ident = "CGN";
    nav.vors.append(v);
    VOR ndb;
    ndb.id = "N2";
    ndb.ident = "BT";
    nav.ndbs.append(ndb);
    return nav;
}

}  // namespace

TEST(Inspection, LegItemsWithEveryPart) {
    const NavState nav = with_names();
    t_leg a;
    a.trackcode = "AF";
    a.wptid = "w1";  // names are found without regard to case
    a.turndir = "R";
    a.navid = "N1";
    a.navdist = 12;
    a.course = 360;
    a.distance = 2.5;
    a.centerid = "W1";
    a.transition = "RW26";
    EXPECT_EQ(leg_item(nav, a),
              "AF MOPAR turn R navaid:CGN   12nm 360\xB0    3nm center:MOPAR transition:RW26");

    t_leg b;  // a fix not loaded, an NDB, course 0, nothing else
    b.trackcode = "TF";
    b.wptid = "W9";
    b.wptlat = 48.5;
    b.wptlon = 2.25;
    b.navid = "N2";
    b.course = 0;
    EXPECT_EQ(leg_item(nav, b), "TF ( 48.50000,  2.25000)       transition:");

    t_leg c;  // values that are not 0 until made single precision, and ties
    c.trackcode = "CF";
    c.wptlat = -0.5;
    c.course = 1e-50;
    c.navdist = 2.5;
    c.distance = -3.5;
    EXPECT_EQ(leg_item(nav, c), "CF ( -0.50000,  0.00000)      3nm    -4nm  transition:");
}

TEST(Inspection, SegmentsAfterTheirTransitionAndAirwaysBare) {
    const NavState nav = with_names();
    ROUTE r;
    r.lines.push_back({"RW26", 49.01, 2.5, 48.5, -0.123456});
    r.lines.push_back({"", 48.5, -0.123456, 0, 0});
    const Inspection i = inspect_procedure(nav, r);
    EXPECT_TRUE(i.legs.empty());
    ASSERT_EQ(i.segments.size(), 2u);
    EXPECT_EQ(i.segments[0], "RW26 49.01000: 2.50000 / 48.50000:-0.12346");
    EXPECT_EQ(i.segments[1], " 48.50000:-0.12346 /  0.00000: 0.00000");
    EXPECT_EQ(inspect_airway(r)[0], "49.01000: 2.50000 / 48.50000:-0.12346");
    EXPECT_TRUE(inspect_airway(ROUTE{}).empty());
}
