// The map's tooltips: the item drawn nearest the cursor, within 6 pixels.
#include <gtest/gtest.h>

#include "map/hover.h"

using namespace karvel;

namespace {

// One pixel is a minute of latitude and two of longitude, from (10 N, 20 E).
const Viewport kView{10, 0, 20, 40, 1, 60, 30, 600, 600};
double lat(int y) {
    return 10 - y / 60.0;
}
double lon(int x) {
    return 20 + x / 30.0;
}

struct Hover : ::testing::Test {
    Hover() {
        for (t_couleur& c : colours) c.visible = true;
        nav.airports.append({"1", "LFPG", "CHARLES DE GAULLE", "118.150", lat(100), lon(100)});
        nav.vors.append({"2", "CGN", "CHARLES", "VOR", "", "115.350", lat(100), lon(104)});
        nav.ndbs.append({"3", "BT", "BRAY", "NDB", "", "290.000", lat(300), lon(200)});
        nav.waypoints.append({"4", "OPALE", "OPALE", lat(200), lon(300), true});
        nav.waypoints.append({"5", "MOLBA", "MOLBA", lat(400), lon(400), false});  // not drawn
        ROUTE star;
        star.icao = "LFPG";
        star.name = "MOLBA 1A";
        star.selected = true;
        t_leg leg;
        leg.wptid = "5";
        leg.wptlat = lat(400);
        leg.wptlon = lon(400);
        star.legs.push_back(leg);
        nav.stars.push_back(star);
    }
    std::string at(int x, int y) const { return hover_text(kView, nav, colours, x, y); }
    NavState nav;
    ColourTable colours;
};

TEST_F(Hover, TheNearestItemWithinSixPixels) {
    EXPECT_EQ(at(101, 101), "LFPG\nCHARLES DE GAULLE\n118.150");
    EXPECT_EQ(at(103, 100), "CGN\nCHARLES\n115.350");  // 1 px from the VOR, 3 from the airport
    EXPECT_EQ(at(200, 306), "BT\nBRAY\n290.000");      // exactly 6 px: x and y scales differ
    EXPECT_EQ(at(206, 301), "");                       // 6.1 px
    EXPECT_EQ(at(300, 195), "OPALE");                  // a name equal to the ident said once
    // A STAR's point, named by its waypoint even where the fix is not drawn.
    EXPECT_EQ(at(400, 400), "MOLBA\nLFPG-MOLBA 1A");
    EXPECT_EQ(at(500, 500), "");
}

TEST_F(Hover, OnlyWhatTheMapDraws) {
    colours[colour::vor].visible = false;
    EXPECT_EQ(at(103, 100), "LFPG\nCHARLES DE GAULLE\n118.150");
    colours[colour::star].visible = false;
    EXPECT_EQ(at(400, 400), "");  // the unselected fix is not drawn, nor the hidden STAR
    nav.waypoints[0].selected = false;
    EXPECT_EQ(at(300, 200), "");
    // Off the view: a point past its edge is not drawn.
    EXPECT_EQ(hover_text({10, 0, 20, 20.1f, 1, 60, 30, 600, 600}, nav, colours, 300, 200), "");
}

}  // namespace
