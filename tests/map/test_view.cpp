// The projection, zoom limits, panning and measuring, against numbers worked
// out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "map/navigate.h"
#include "map/view.h"

using namespace karvel;

namespace {

// The map window's view and the selection frame it shows.
struct Map {
    MapView view;
    SelectionFrame frame;
    double& lat = frame.centre_lat;
    double& lon = frame.centre_lon;
    Map() = default;
    Map(const Map& o) : view(o.view), frame(o.frame) {}
    Map& operator=(const Map& o) {
        view = o.view;
        frame = o.frame;
        return *this;
    }
    Viewport edges(double centre_lat, double centre_lon) {
        lat = centre_lat;
        lon = centre_lon;
        return compute_view_edges(view, frame);
    }
};

Map view_of(int width, int height, float px, double lat0) {
    Map m;
    size_map_bitmap(m.view, width, height);
    m.frame.view.px_per_nm = px;
    m.frame.plane.nm_per_deg_lon = static_cast<float>(std::cos(lat0 * M_PI / 180) * 60);
    return m;
}

}  // namespace

TEST(Projection, RoundTripAndHalvesToEven) {
    Map v = view_of(976, 674, 6.74f, 49.0097);
    const Viewport f = v.edges(49.0097, 2.5478);
    // The centre is the middle of the bitmap; edges are the half sizes away.
    EXPECT_EQ(f.to_pixel(49.0097, 2.5478), (Pixel{488, 337}));
    EXPECT_NEAR(f.view_top - 49.0097, 674 / (60 * 2 * 6.74), 1e-5);
    for (const Pixel p : {Pixel{0, 0}, Pixel{975, 673}, Pixel{13, 600}, Pixel{-40, 900}}) {
        const GeoPos g = f.to_geo(p.x, p.y);
        EXPECT_EQ(f.to_pixel(static_cast<double>(g.lat), static_cast<double>(g.lon)), p);
    }
    const Viewport unit{0, -10, 0, 10, 1, 1, 1, 10, 10};
    EXPECT_EQ(std::pair(unit.to_pixel(-2.5, 2.5), unit.to_pixel(-3.5, 3.5)),
              std::pair(Pixel{2, 2}, Pixel{4, 4}));
    EXPECT_EQ(unit.to_pixel(std::nan(""), 1e300), (Pixel{kPixelLimit, 0}));
    EXPECT_EQ(nearest_int(-1e30L), -kPixelLimit);
    EXPECT_EQ(trunc_int(INFINITY), std::numeric_limits<long long>::max());
}

TEST(Zoom, LimitsTestedBeforeTheStep) {
    Map v = view_of(976, 674, 0, 49);
    v.frame.view.range_nm = 100;
    v.frame.view.px_per_nm = static_cast<float>(674.0L / 100);
    // Right after a selection the range fills the height: no zoom out.
    EXPECT_FALSE(zoom(v.view, v.frame.view, -120));
    EXPECT_FLOAT_EQ(v.frame.view.px_per_nm, 6.74f);

    int steps = 0;
    while (zoom(v.view, v.frame.view, 120)) ++steps;
    // The step that crosses 100000 pixels still happens.
    EXPECT_GE(100.0L * v.frame.view.px_per_nm, 100000);
    EXPECT_LT(100.0L * v.frame.view.px_per_nm, 120000);
    EXPECT_EQ(steps, 28);
    while (zoom(v.view, v.frame.view, -1)) --steps;
    EXPECT_EQ(steps, 0);
    // The range spans the height again (its integer part, 673, is not more).
    EXPECT_EQ(trunc_int(100.0L * v.frame.view.px_per_nm), 673);

    // A range of 0 or less bounds nothing: the globe keeps fitting.
    for (int range : {0, -5, 1}) {
        v.frame.view.range_nm = range;
        v.frame.view.px_per_nm = 6.74f;
        for (int i = 0; i < 1000 && zoom(v.view, v.frame.view, 120); ++i) {
        }
        EXPECT_LE(v.frame.view.px_per_nm * 21600.0L, kPixelLimit) << range;
        EXPECT_FALSE(zoom(v.view, v.frame.view, 120));
    }
}

TEST(Measure, DistanceAndScreenBearing) {
    Map v = view_of(600, 400, 1, 0);
    v.frame.plane.nm_per_deg_lon = 60;
    v.edges(0, 0);
    v.view.view_top = 0;
    v.view.view_left = 0;  // one pixel is a minute of arc from (0, 0)
    press(v.view, v.frame, 0, 0, false, true);
    EXPECT_TRUE(v.view.mouse.measuring);
    const auto measured = [&](Map& m, int x, int y) {
        measure_move(m.view, m.frame, x, y);
        return m.view.mouse.measure_distance_text + " " + m.view.mouse.measure_bearing_text;
    };
    EXPECT_EQ(measured(v, 60, 0), "60.11 90");  // 3443.844 x pi / 180
    EXPECT_EQ(measured(v, 0, 60), "60.11 180");
    EXPECT_EQ(measured(v, 0, 0), "0.00 0");
    press(v.view, v.frame, 100, 100, false, true);
    EXPECT_EQ(measured(v, 100, 40), "60.11 0");
    EXPECT_EQ(measured(v, 99, -43), "143.26 360");  // 359.6 degrees
    EXPECT_EQ(measured(v, 40, 100), "60.08 270");   // a degree east at 1.67 S
    // The bearing is the pixels' own, wherever the view lies: straight up 0,
    // no move 0.
    Map far = view_of(976, 674, 3.3f, 47.3);
    far.edges(47.3, 8.55);
    for (const auto& [x, y] : {std::pair{333, 217}, {517, 401}, {12, 640}}) {
        press(far.view, far.frame, x, y, false, true);
        measure_move(far.view, far.frame, x, y - 150);
        EXPECT_EQ(far.view.mouse.measure_bearing_text, "0") << x << " " << y;
        EXPECT_EQ(measured(far, x, y), "0.00 0") << x << " " << y;
    }
    EXPECT_NEAR(screen_bearing(10, -10), 135, 1e-12);
    EXPECT_NEAR(screen_bearing(-10, -10), 225, 1e-12);
    EXPECT_NEAR(screen_bearing(-10, 10), 315, 1e-12);
    EXPECT_NEAR(great_circle_nm(48.5, 2.25, 48.5, 2.25), 0, 1e-5);
    press(v.view, v.frame, 1, 1, false, false);
    EXPECT_FALSE(v.view.mouse.measuring);
}

TEST(Pan, KeepsTheAnchorUnderTheCursorAndTheCentreOnTheGlobe) {
    Map v = view_of(600, 400, 6, 49);
    double &lat = v.lat, &lon = v.lon;
    lat = 49, lon = 2.5;
    v.edges(lat, lon);
    press(v.view, v.frame, 100, 100, true, false);
    const double anchor_lat = v.view.mouse.drag_anchor_lat,
                 anchor_lon = v.view.mouse.drag_anchor_lon;
    pan(v.view, v.frame, 150, 130);
    const GeoPos under = v.edges(lat, lon).to_geo(150, 130);
    EXPECT_NEAR(static_cast<double>(under.lat), anchor_lat, 1e-4);  // float edges
    EXPECT_NEAR(static_cast<double>(under.lon), anchor_lon, 1e-4);
    EXPECT_TRUE(lat > 49 && lon < 2.5);  // dragged down and right: the view moves north-west

    v.frame.view.px_per_nm = 0.001f;  // a drag across the whole world and more
    lat = 80, lon = 170;
    v.edges(lat, lon);
    press(v.view, v.frame, 300, 200, true, false);
    for (const auto& [x, y, pole] : {std::tuple{0, 400, 90.0}, {600, 0, -90.0}}) {
        pan(v.view, v.frame, x, y);
        EXPECT_EQ(lat, pole);
        EXPECT_TRUE(lon > -180 && lon <= 180) << lon;
    }

    // Dragged west across the antimeridian, the centre goes on round the
    // globe: 179.5 E plus one degree is 179.5 W, the anchor still under the cursor.
    v = view_of(600, 400, 1, 0);
    v.frame.plane.nm_per_deg_lon = 60, lat = 0, lon = 179.5;
    v.edges(lat, lon);
    press(v.view, v.frame, 300, 200, true, false);
    pan(v.view, v.frame, 240, 200);
    EXPECT_NEAR(lon, -179.5, 1e-4);
    const Viewport across = v.edges(lat, lon);
    // East of the line, left of it.
    EXPECT_EQ(std::pair(across.to_pixel(0, 179.75), across.to_pixel(0, -179.25)),
              std::pair(Pixel{255, 200}, Pixel{315, 200}));
    EXPECT_TRUE(across.segment_visible(0, 179.9, 0, -179.9) && !across.contains(0, 0));
    EXPECT_TRUE(across.contains(0, 179.9) && across.contains(0, -179.9));  // both sides
    EXPECT_EQ(position_text(v.view, v.frame, 240, 200), " 0.00000  179.50000");
}
