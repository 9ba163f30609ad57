// The painters through a recording canvas: what is drawn, where, in which
// order and on which text background; the tooltips (the item drawn nearest
// the cursor, within 6 pixels). The bitmap canvas against the toolkit's own
// drawing: lines clipped far outside the bitmap, labels kept between passes,
// the font's fallback. (The golden map pictures pin lines, rings, symbols
// and text boxes.)
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <map>

#include "map/extend_point.h"
#include "map/hover.h"
#include "map/qt_canvas.h"
#include "map/render.h"
#include "map/view.h"
#include "recording_canvas.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct Errors : ArithmeticErrors {
    void record(const std::string& k, const std::string& v) override { keys[k] = v; }
    std::map<std::string, std::string> keys;
};

// One pixel is one minute of arc east and south of (0, 0).
const Viewport kMinutes{0, -10, 0, 10, 1, 60, 60, 600, 600};

}  // namespace

TEST(Rings, FiveRingsAndTheLabelsOfTheNext) {
    RecordingCanvas c;
    Viewport v{0, 0, 0, 0, 6, 60, 60, 600, 400};
    draw_rings(c, v, {300, 200}, 10, 14);
    EXPECT_EQ(c.with("ellipse"),
              (std::vector<std::string>{"ellipse 20 20 30 30", "ellipse 240 140 360 260",
                                        "ellipse 180 80 420 320", "ellipse 120 20 480 380",
                                        "ellipse 60 -40 540 440", "ellipse 0 -100 600 500"}));
    // Left, right, top and bottom of the second ring, ..., the undrawn sixth ring.
    const auto texts = c.with("text");
    ASSERT_EQ(texts.size(), 20u);
    EXPECT_THAT(std::vector(texts.begin(), texts.begin() + 4),
                ElementsAre("text 181 200 20 clear", "text 421 200 20 clear",
                            "text 300 81 20 clear", "text 300 321 20 clear"));
    EXPECT_EQ(texts[19], "text 300 561 60 clear");
    // No spacing, no rings (and no endless loop): only the fixed mark.
    RecordingCanvas none;
    draw_rings(none, {0, 0, 0, 0, 0.01f, 60, 60, 600, 400}, {300, 200}, 10, 14);
    EXPECT_EQ(none.with("ellipse"), std::vector<std::string>{"ellipse 20 20 30 30"});
}

TEST(Feathers, ExtendPointAndArithmeticFailures) {
    Errors errors;
    // A runway end at (100, 100), the other end to its right: 100 px out to
    // the left, barbs of 30 px at +-30 degrees, tips turned 60 more.
    const auto at = [](PixelF p, double x, double y) {
        return std::abs(p.x - x) < 1e-4 && std::abs(p.y - y) < 1e-4;
    };
    const PixelF a = extend_point(100, {100, 100}, {200, 100}, 0, errors);
    EXPECT_TRUE(at(a, 0, 100));
    const PixelF b = extend_point(30, a, {100, 100}, 0.5235988f, errors);
    EXPECT_TRUE(at(b, -30 * std::sqrt(3.0) / 2, 115));
    EXPECT_TRUE(at(extend_point(30, b, a, 1.0471976f, errors), b.x, 145));  // the tip
    // Upwards: the arcsin branch. Both points alike: direction 0, no failure.
    EXPECT_TRUE(at(extend_point(10, {5, 5}, {5, 20}, 0, errors), 5, -5));
    EXPECT_TRUE(at(extend_point(10, {5, 5}, {5, 5}, 0, errors), 15, 5));
    EXPECT_TRUE(errors.keys.empty());

    extend_point(10, {NAN, 5}, {5, 5}, 0, errors);
    EXPECT_EQ(errors.keys["module"], "             NAN");
    EXPECT_EQ(errors.keys["y2-y1"], "      0.00000000");
    extend_point(10, {INFINITY, 5}, {5, 5}, 0, errors);
    EXPECT_EQ(errors.keys["x2-x1"], "             INF");

}

TEST(DrawMap, OrderVisibilityBrushAndTheViewEdge) {
    NavTables nav;
    ColourTable colours{};
    for (int i = 0; i < kColourCount; ++i) colours[static_cast<size_t>(i)] = {"", i, true};
    MapView view;
    SelectionFrame frame;
    size_map_bitmap(view, 600, 400);
    frame.view.px_per_nm = 6, frame.view.ring_step_nm = 10, view.map_font_size = 8;
    frame.plane.nm_per_deg_lon = 40;  // a degree east is shorter than a degree north
    frame.centre_lat = 49, frame.centre_lon = 2.5;
    const Viewport v = compute_view_edges(view, frame);

    nav.airways = {{.name = "UN857", .lines = {{"", 49, 2.5, 49.1, 2.6}}, .selected = true}};
    nav.waypoints = {{"1", "PGS", "", 49, 2.5, false}};
    nav.ndbs = {{"n", "BT", "BRAY", "NDB", "", "290.000", 48.9, 2.6}};
    nav.outlines = {{.id = "o", .name = "LFFF", .rings = {{{49, 2.5}, {49.1, 2.6}, {49, 2.6}}}}};
    nav.airports = {
        {"a", "ONTOP", "", "", v.view_top, 2.5},
        {"b", "ABOVE", "", "", std::nextafter(static_cast<double>(v.view_top), 90.0), 2.5}};
    Errors errors;

    RecordingCanvas c;
    const std::vector<t_define> details;
    draw_map(c, v, view, {nav, frame, colours, details}, errors);
    EXPECT_THAT(std::vector(c.calls.begin(), c.calls.begin() + 2),
                ElementsAre("brush on 0", "fill 0 0 600 400"));
    // The rings left the brush clear; on the top edge: drawn, a hair above: not; the
    // fix is not selected; 0.1 degree is 24 px east and 36 south.
    EXPECT_THAT(c.calls,
                ::testing::IsSupersetOf({"text 320 220 UN857 clear", "text 320 0 ONTOP clear",
                                         "text 344 236 BT on 0"}));
    // The outline's three edges, its name once, in its own colour.
    const std::vector<std::string> outline{
        "pen " + std::to_string(kOutlineDefaultColour) + " solid 1", "line 300 200 324 164",
        "line 324 164 324 200", "line 324 200 300 200", "text 304 204 LFFF clear"};
    EXPECT_THAT(c.calls, ::testing::IsSupersetOf(outline));
    EXPECT_EQ(std::count_if(c.calls.begin(), c.calls.end(),
                            [](const std::string& call) { return call.find(" LFFF ") != call.npos; }),
              1);
    EXPECT_TRUE(c.with("text 320 0 ABOVE").empty() && c.with("text 320 200 PGS").empty());

    colours[colour::rings].visible = false;
    nav.waypoints[0].selected = true;
    RecordingCanvas d;
    draw_map(d, v, view, {nav, frame, colours, details, {"contours", 0, false}}, errors);
    EXPECT_TRUE(d.with("text 304 204 LFFF").empty() && d.with("line 324 164").empty());
    EXPECT_THAT(d.calls,
                ::testing::IsSupersetOf({"text 320 220 UN857 on 0", "text 320 200 PGS on 0"}));
    EXPECT_TRUE(d.with("ellipse 20 20 30 30").empty());  // no rings, not even their mark
}

TEST(Geography, SelectionBoxNotViewAndPenFromDetails) {
    std::vector<t_geo> lines(3);
    lines[0] = {"lake", {{0, 0}, {0, 1}}, {}};                   // no entry: aqua
    lines[1] = {"river", {{0, 0}, {0, 1}, {5, 5}, {6, 6}}, {}};  // last entry wins
    lines[2] = {"lake", {{-1, -1}, {1, 1}}, {}};                 // keeps the river's pen
    lines[1].bounds = bounds_of(lines[1].points);
    const std::vector<t_define> details{{"river", "clRed"},
                                        {"coast", "clBlue"},
                                        {"river", "$00102030"},
                                        {"river", "pas une couleur"}};
    RecordingCanvas c;
    draw_geography(c, kMinutes, lines, {-0.5, 0.5, -0.5, 0.5}, details);
    EXPECT_EQ(c.calls, (std::vector<std::string>{"pen 16776960 solid 1", "line 0 0 60 0",
                                                 "pen colour 1056816", "line 0 0 60 0"}));
    // The box holds the far vertex only: the segment is drawn, off the view too.
    RecordingCanvas far;
    draw_geography(far, kMinutes, {lines[1]}, {5.5, 7, 5.5, 7}, details);
    EXPECT_EQ(far.with("line"), std::vector<std::string>{"line 300 -300 360 -360"});
}

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
        nav.stars.append({.icao = "LFPG",
                          .name = "MOLBA 1A",
                          .legs = {{.wptid = "5", .wptlat = lat(400), .wptlon = lon(400)}},
                          .selected = true});
    }
    std::string at(int x, int y) const { return hover_text(kView, nav, colours, x, y); }
    NavTables nav;
    ColourTable colours;
};

TEST_F(Hover, EveryItemTheMapDrawsWithinSixPixelsNavaidsFirst) {
    const std::string lfpg = w1252("LFPG (aérodrome)\nCHARLES DE GAULLE\n118.150"),
                      cgn = "CGN (VOR)\nCHARLES\n115.350";
    EXPECT_EQ(at(101, 101), cgn + "\n\n" + lfpg);  // 3.2 px from the VOR, 1.4 from the airport
    EXPECT_EQ(at(96, 100), lfpg);                  // 8 px from the VOR, 4 from the airport
    EXPECT_EQ(at(200, 306), "BT (NDB)\nBRAY\n290.000");  // exactly 6 px: x and y scales differ
    EXPECT_EQ(at(206, 301), "");                        // 6.1 px
    EXPECT_EQ(at(300, 195), "OPALE (point)");           // a name equal to the ident said once
    // A STAR's point, named by its waypoint even where the fix is not drawn.
    EXPECT_EQ(at(400, 400), "MOLBA (LFPG-MOLBA 1A)");
    EXPECT_EQ(at(500, 500), "");
    // A VOR under a fix of its ident (Nadi's NN) is told first, whole; a
    // point of two legs once.
    nav.waypoints.append({"6", "BT", "BT", lat(300), lon(200), true});
    nav.stars[0].legs.push_back(nav.stars[0].legs[0]);
    EXPECT_EQ(at(200, 300), "BT (NDB)\nBRAY\n290.000\n\nBT (point)");
    EXPECT_EQ(at(400, 400), "MOLBA (LFPG-MOLBA 1A)");
    // Past six items, the rest is said to be there: the nearest six told,
    // nearest first, whatever the order of the table (X0 is 6 px away, X6
    // under the cursor).
    for (int i = 0; i < 7; ++i)
        nav.airports.append({std::to_string(10 + i), "X" + std::to_string(i), "", "", lat(500),
                             lon(506 - i)});
    const std::string many = at(500, 500);
    EXPECT_EQ(std::count(many.begin(), many.end(), '('), 7);  // six kinds and "(et d'autres)"
    EXPECT_THAT(many, ::testing::StartsWith(w1252("X6 (aérodrome)\n\nX5 (aérodrome)")));
    EXPECT_THAT(many, ::testing::EndsWith(w1252("X1 (aérodrome)\n\n(et d'autres)")));

    // Only what the map draws.
    colours[colour::vor].visible = false;
    EXPECT_EQ(at(103, 100), lfpg);
    colours[colour::star].visible = false;
    EXPECT_EQ(at(400, 400), "");  // the unselected fix is not drawn, nor the hidden STAR
    nav.waypoints[0].selected = false;
    EXPECT_EQ(at(300, 200), "");
    // Off the view: a point past its edge is not drawn.
    EXPECT_EQ(hover_text({10, 0, 20, 20.1f, 1, 60, 30, 600, 600}, nav, colours, 300, 200), "");
}

constexpr TColor kWhite = 0xFFFFFF, kRed = 0x0000FF;

struct Bitmap {
    Bitmap() : image(200, 150, QImage::Format_RGB32) { image.fill(Qt::black); }
    QImage image;
};

// How many pixels of each colour.
std::map<QRgb, int> colours_of(const QImage& image) {
    std::map<QRgb, int> n;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++n[image.pixel(x, y)];
    return n;
}

}  // namespace

TEST(QtCanvas, ClippedLinesLightWhatTheWholeLineWould) {
    // Each line drawn whole on a large image, and on a small window of it
    // where its ends lie far outside: the window's pixels must agree.
    uint32_t seed = 12345;
    auto next = [&](int lo, int hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + static_cast<int>((seed >> 8) % static_cast<uint32_t>(hi - lo + 1));
    };
    QImage big(1000, 1000, QImage::Format_RGB32);
    LabelCache labels;
    QImage small(200, 150, QImage::Format_RGB32);
    for (int round = 0; round < 60; ++round) {
        big.fill(Qt::black);
        small.fill(Qt::black);
        const int x1 = next(-300, 499), y1 = next(-300, 449), x2 = next(-300, 499),
                  y2 = next(-300, 449);
        {
            QtCanvas whole(big, "sans-serif", labels);
            whole.set_pen(kWhite, PenStyle::solid, 1);
            whole.line(x1 + 300, y1 + 300, x2 + 300, y2 + 300);
            QtCanvas part(small, "sans-serif", labels);
            part.set_pen(kWhite, PenStyle::solid, 1);
            part.line(x1, y1, x2, y2);
        }
        ASSERT_EQ(big.copy(300, 300, 200, 150), small) << x1 << "," << y1 << " " << x2 << "," << y2;
        EXPECT_EQ(1000 * 1000 - colours_of(big)[qRgb(0, 0, 0)],
                  std::max(std::abs(x2 - x1), std::abs(y2 - y1)));  // the end left out
    }
}

TEST(QtCanvas, LabelsAreTheToolkitsOwnText) {
    // Kerned pairs (AV, LT, To), glyphs reaching left of their cell (j),
    // blanks at either end (the box holds them).
    for (const char* s : {"LFPG-OPALE 1A RW27L", "Wj\xE9g", "09", "AVALT To,.Y", " RW 27  "}) {
        Bitmap mine, direct;
        {
            LabelCache labels;
            QtCanvas c(mine.image, "MS Sans Serif", labels);
            c.set_font_size(8);
            c.set_font_colour(kWhite);
            c.clear_brush();
            c.text(-3, 2, s);  // cut at the left edge
            c.set_brush(kRed);
            c.text(30, 40, s);
        }
        {
            QPainter p(&direct.image);
            const QFont f = map_font("MS Sans Serif", 8);
            p.setFont(f);
            p.setPen(Qt::white);
            const QFontMetrics m(f, &direct.image);
            p.drawText(QPoint(-3, 2 + m.ascent()), QString::fromLatin1(s));
            p.fillRect(30, 40, m.horizontalAdvance(QString::fromLatin1(s)),
                       m.ascent() + m.descent(), Qt::red);
            p.drawText(QPoint(30, 40 + m.ascent()), QString::fromLatin1(s));
        }
        EXPECT_EQ(mine.image, direct.image) << s;
    }
    // A font the system lacks falls back (the shipped settings name one);
    // a damaged settings file's size is bounded.
    EXPECT_EQ(map_font("Pas de police de ce nom", 8).family(), QStringLiteral("sans-serif"));
    EXPECT_EQ(map_font("sans-serif", 100000).pointSize(), 1000);
}

TEST(QtCanvas, KeptLabelsDrawAsNewOnesWhateverTheOrder) {
    // Passes ask for labels in orders that drift: some left out, some new,
    // one asked for twice, the order turned round.
    const std::vector<std::vector<const char*>> passes = {
        {"ALPHA", "BRAVO", "CHARLIE", "DELTA"},
        {"BRAVO", "CHARLIE", "ECHO", "DELTA"},
        {"ALPHA", "BRAVO", "CHARLIE", "DELTA"},
        {"DELTA", "CHARLIE", "BRAVO", "ALPHA", "ALPHA"},
        {"FOXTROT", "ALPHA"}};
    // The resolution changes between passes too (a window moved to another
    // screen): labels drawn for one are not kept for the other.
    LabelCache kept_labels;
    int pass = 0;
    for (const auto& labels : passes) {
        Bitmap kept, fresh;
        LabelCache fresh_labels;
        const int dpm = ++pass % 2 ? 3780 : 5670;  // 100 %, then 150 %
        for (Bitmap* b : {&kept, &fresh}) {
            b->image.setDotsPerMeterX(dpm);
            b->image.setDotsPerMeterY(dpm);
            QtCanvas c(b->image, "MS Sans Serif", b == &kept ? kept_labels : fresh_labels);
            c.set_font_size(8);
            c.set_font_colour(kWhite);
            c.clear_brush();
            int y = 0;
            for (const char* l : labels) c.text(5, y += 14, l);
        }
        EXPECT_EQ(kept.image, fresh.image);
    }
}

// The ground: areas filled with their holes, grass under pavement under
// runways, the painted lines, the stands' names only close in; nothing in
// a wide view or when the settings hide it; the background's brush left.
TEST(Ground, AreasLinesAndNamesByTheViewsWidth) {
    Ground g;
    const t_point square{{49.02, 2.50}, {49.02, 2.51}, {49.01, 2.51}, {49.01, 2.50}};
    const t_point hole{{49.018, 2.502}, {49.018, 2.504}, {49.016, 2.504}, {49.016, 2.502}};
    g.shapes = {{.id = "1", .kind = GroundKind::runway, .code = 1, .rings = {square}},
                {.id = "2", .kind = GroundKind::pavement, .code = 1, .rings = {square, hole}},
                {.id = "3", .kind = GroundKind::pavement, .code = 3, .rings = {hole}},
                {.id = "4", .kind = GroundKind::pavement, .code = 15, .rings = {square}},
                {.id = "5", .kind = GroundKind::line, .code = 51, .rings = {{{49.02, 2.5}, {49.01, 2.5}}}},
                {.id = "6", .kind = GroundKind::line, .code = 4, .rings = {{{49.02, 2.51}, {49.01, 2.51}}}},
                {.id = "7", .kind = GroundKind::line, .code = 3, .rings = {{{49.02, 2.5}, {49.02, 2.51}}}}};
    g.stands = {{.id = "s", .name = "A1", .latitude = 49.015, .longitude = 2.505}};
    auto colours = default_ground_colours();
    for (size_t i = 0; i < colours.size(); ++i) colours[i].color = static_cast<TColor>(i + 1);
    // 100 px a nautical mile, 600 px: 6 nm across.
    const Viewport close{49.03f, 48.99f, 2.49f, 2.53f, 100, {60, 60}, 600, 600};
    RecordingCanvas c;
    draw_ground(c, close, g, colours, 77);
    const auto polygons = c.with("polygon");
    ASSERT_EQ(polygons.size(), 3u);  // the transparent surface is no area
    const auto at = [&](const std::string& call) {
        return std::find(c.calls.begin(), c.calls.end(), call) - c.calls.begin();
    };
    const Pixel a = close.to_pixel(49.02, 2.50), h = close.to_pixel(49.018, 2.502);
    const std::string hole_ring = " [ " + std::to_string(h.x) + "," + std::to_string(h.y);
    EXPECT_EQ(polygons[0].rfind("polygon" + hole_ring, 0), 0u);  // grass first
    EXPECT_NE(polygons[1].find(hole_ring), std::string::npos);   // the pavement with its hole
    EXPECT_EQ(polygons[1].rfind("polygon [ " + std::to_string(a.x) + "," + std::to_string(a.y), 0), 0u);
    EXPECT_LT(at("brush on 3"), at("brush on 2"));  // grass, pavement, runway
    EXPECT_LT(at("brush on 2"), at("brush on 1"));
    EXPECT_EQ(c.with("line").size(), 2u);  // the edge line (type 3) is no centreline nor hold
    EXPECT_LT(at("pen 4 solid 1"), at("pen 5 solid 1"));
    EXPECT_EQ(c.with("text").size(), 0u);  // 6 nm across: no names yet
    EXPECT_EQ(c.calls.back(), "brush on 77");  // the background's, for the labels after

    const Viewport closer{49.03f, 48.99f, 2.49f, 2.53f, 200, {60, 60}, 600, 600};
    RecordingCanvas d;
    draw_ground(d, closer, g, colours, 77);
    const Pixel s = closer.to_pixel(49.015, 2.505);
    EXPECT_THAT(d.with("text"), ElementsAre("text " + std::to_string(s.x) + " " +
                                            std::to_string(s.y) + " A1 on 77"));
    // 20 nm across, or hidden: nothing at all.
    const Viewport wide{49.03f, 48.99f, 2.49f, 2.53f, 30, {60, 60}, 600, 600};
    RecordingCanvas e, f;
    draw_ground(e, wide, g, colours, 77);
    for (auto& k : colours) k.visible = false;
    draw_ground(f, close, g, colours, 77);
    EXPECT_TRUE(e.calls.empty());
    EXPECT_TRUE(f.calls.empty());
}
