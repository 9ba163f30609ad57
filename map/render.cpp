#include "map/render.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/colours.h"
#include "core/geometry.h"
#include "map/qt_canvas.h"
#include "map/symbols.h"

namespace karvel {

using ld = long double;

void draw_background(Canvas& canvas, const Viewport& view, TColor background, int font_size) {
    canvas.set_brush(background);
    canvas.fill_rect(0, 0, view.width, view.height);
    canvas.set_font_size(font_size);
}

void draw_rings(Canvas& canvas, const Viewport& view, Pixel centre, int32_t ring_step_nm,
                TColor colour) {
    const long long cx = centre.x, cy = centre.y;
    const long long reach =
        std::max({cx, cy, std::llabs(view.width - cx), std::llabs(view.height - cy)});
    canvas.set_pen(colour, PenStyle::solid, 1);
    canvas.clear_brush();
    canvas.set_font_colour(colour);
    canvas.ellipse(20, 20, 30, 30);  // the fixed mark

    const auto px = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, -kPixelLimit, kPixelLimit));
    };
    const long long step = nearest_int(static_cast<ld>(ring_step_nm) * view.px_per_nm);
    if (step <= 0) return;
    long long v = ring_step_nm;
    for (long long r = step; r <= reach;) {
        canvas.ellipse(px(cx - r), px(cy - r), px(cx + r), px(cy + r));
        r += step;
        v += ring_step_nm;
        // The labels of the next ring, at its four sides.
        const std::string label = std::to_string(v);
        canvas.text(px(cx - r + 1), px(cy), label);
        canvas.text(px(cx + r + 1), px(cy), label);
        canvas.text(px(cx), px(cy - r + 1), label);
        canvas.text(px(cx), px(cy + r + 1), label);
    }
}

namespace {

bool may_touch(const GeoBounds& b, const GeoBox& box) {
    return !b.known || (!(b.lat_max < box.lat_min || b.lat_min > box.lat_max) &&
                        lon_ranges_meet(b.lon_min, b.lon_max, box.lon_min, box.lon_max));
}

}  // namespace

void draw_geography(Canvas& canvas, const Viewport& view, const std::vector<t_geo>& lines,
                    const GeoBox& box, const std::vector<t_define>& details) {
    const GeoColours colours(details);
    canvas.set_pen(kGeoDefaultColour, PenStyle::solid, 1);
    for (const t_geo& g : lines) {
        // A kind no entry colours keeps the pen of the line before it.
        if (const auto c = colours.find(g.name)) canvas.set_pen_colour(*c);
        if (g.points.size() < 2 || !may_touch(g.bounds, box)) continue;

        bool prev_in = box.contains(g.points[0]);
        Pixel prev = view.to_pixel(g.points[0].latitude, g.points[0].longitude);
        for (size_t i = 1; i < g.points.size(); ++i) {
            const geo_point& p = g.points[i];
            const bool in = box.contains(p);
            const Pixel here = view.to_pixel(p.latitude, p.longitude);
            if (prev_in || in) canvas.line(prev.x, prev.y, here.x, here.y);
            prev = here;
            prev_in = in;
        }
    }
}

void draw_outlines(Canvas& canvas, const Viewport& view, const std::vector<Outline>& outlines,
                   TColor colour) {
    canvas.set_pen(colour, PenStyle::solid, 1);
    canvas.set_font_colour(colour);
    for (const Outline& o : outlines) {
        if (!o.selected) continue;
        bool named = false;
        for (const t_point& ring : o.rings)
            for (size_t i = 0; i < ring.size() && ring.size() > 1; ++i) {
                const geo_point& a = ring[i];
                const geo_point& b = ring[(i + 1) % ring.size()];
                if (!view.segment_visible(a.latitude, a.longitude, b.latitude, b.longitude))
                    continue;
                const Pixel p = view.to_pixel(a.latitude, a.longitude);
                const Pixel q = view.to_pixel(b.latitude, b.longitude);
                canvas.line(p.x, p.y, q.x, q.y);
                if (!named && p.x >= 0 && p.y >= 0 && p.x < view.width && p.y < view.height) {
                    canvas.text(p.x + 4, p.y + 4, o.name);
                    named = true;
                }
            }
    }
}

void draw_ground(Canvas& canvas, const Viewport& view, const Ground& ground,
                 const std::array<t_couleur, kGroundPaintCount>& colours, TColor background) {
    if (ground.empty() || !colours[0].visible || view.px_per_nm <= 0 ||
        static_cast<float>(view.width) / view.px_per_nm > kGroundViewNm)
        return;
    const auto colour = [&](GroundPaint p) { return colours[static_cast<size_t>(p)].color; };
    // A shape whose points are all off one side of the view is passed over.
    const auto seen = [&](const t_point& ring) {
        GeoBounds b = bounds_of(ring);
        return view.segment_visible(b.lat_min, b.lon_min, b.lat_max, b.lon_max);
    };
    for (const GroundPaint paint : {GroundPaint::unpaved, GroundPaint::paved, GroundPaint::runway}) {
        canvas.set_brush(colour(paint));
        for (const GroundShape& s : ground.shapes) {
            if (s.kind == GroundKind::line || ground_paint(s) != paint || s.rings.empty() ||
                !seen(s.rings[0]))
                continue;
            std::vector<std::vector<Pixel>> rings;
            for (const t_point& ring : s.rings) {
                std::vector<Pixel>& pixels = rings.emplace_back();
                for (const geo_point& g : ring) pixels.push_back(view.to_pixel(g.latitude, g.longitude));
            }
            canvas.polygon(rings);
        }
    }
    for (const GroundPaint paint : {GroundPaint::centreline, GroundPaint::hold}) {
        canvas.set_pen(colour(paint), PenStyle::solid, 1);
        for (const GroundShape& s : ground.shapes) {
            if (s.kind != GroundKind::line || ground_paint(s) != paint) continue;
            for (const t_point& path : s.rings)
                for (size_t i = 0; i + 1 < path.size(); ++i) {
                    const geo_point& a = path[i];
                    const geo_point& b = path[i + 1];
                    if (!view.segment_visible(a.latitude, a.longitude, b.latitude, b.longitude))
                        continue;
                    const Pixel p = view.to_pixel(a.latitude, a.longitude);
                    const Pixel q = view.to_pixel(b.latitude, b.longitude);
                    canvas.line(p.x, p.y, q.x, q.y);
                }
        }
    }
    canvas.set_brush(background);  // as the background left it: labels on its colour
    if (static_cast<float>(view.width) / view.px_per_nm > kStandNamesViewNm) return;
    canvas.set_font_colour(colour(GroundPaint::stand));
    for (const Stand& st : ground.stands) {
        if (!view.contains(st.latitude, st.longitude)) continue;
        const Pixel p = view.to_pixel(st.latitude, st.longitude);
        canvas.text(p.x, p.y, st.name);
    }
}

void draw_airways(Canvas& canvas, const Viewport& view, const std::vector<ROUTE>& airways,
                  TColor colour) {
    canvas.set_pen(colour, PenStyle::solid, 1);
    canvas.set_font_colour(colour);
    for (const ROUTE& a : airways) {
        if (!a.selected) continue;
        for (const LINE& l : a.lines) {
            if (!view.segment_visible(l.lat1, l.lon1, l.lat2, l.lon2)) continue;
            const Pixel p = view.to_pixel(l.lat1, l.lon1);
            const Pixel q = view.to_pixel(l.lat2, l.lon2);
            canvas.line(p.x, p.y, q.x, q.y);
            canvas.text(p.x + 20, p.y + 20, a.name);
        }
    }
}

namespace {

Pixel rounded(PixelF p) {
    return {nearest_int(p.x), nearest_int(p.y)};
}

// The approach feather of the runway end P, R being the other end: a line
// 10 nm out along the centre line and two barbs of 3 nm at its far end.
void draw_feather(Canvas& canvas, const Viewport& view, PixelF p, PixelF r, TColor colour,
                  ArithmeticErrors& errors) {
    constexpr float kPi6 = 0.5235988f, kPi3 = 1.0471976f;
    const int d10 = nearest_int(10 * static_cast<ld>(view.px_per_nm));
    const int d3 = nearest_int(3 * static_cast<ld>(view.px_per_nm));
    const PixelF a = extend_point(d10, p, r, 0, errors);
    const PixelF b = extend_point(d3, a, p, kPi6, errors);
    const PixelF c = extend_point(d3, b, a, kPi3, errors);
    const PixelF d = extend_point(d3, a, p, -kPi6, errors);
    const PixelF e = extend_point(d3, d, a, -kPi3, errors);

    const Pixel P = rounded(p), A = rounded(a), B = rounded(b), C = rounded(c), D = rounded(d),
                E = rounded(e);
    if (nearest_int(std::min({p.y, b.y, d.y})) > view.height ||
        nearest_int(std::max({p.y, b.y, d.y})) < 0 ||
        nearest_int(std::min({p.x, b.x, d.x})) > view.width ||
        nearest_int(std::max({p.x, b.x, d.x})) < 0)
        return;
    canvas.set_pen(colour, PenStyle::dash, 1);
    canvas.line(P.x, P.y, A.x, A.y);
    canvas.line(A.x, A.y, B.x, B.y);
    canvas.line(B.x, B.y, C.x, C.y);
    canvas.line(A.x, A.y, D.x, D.y);
    canvas.line(D.x, D.y, E.x, E.y);
}

}  // namespace

void draw_runways(Canvas& canvas, const Viewport& view, const std::vector<RUNWAY>& runways,
                  TColor colour, TColor background, ArithmeticErrors& errors) {
    for (const RUNWAY& rw : runways) {
        if (!rw.paired()) continue;  // one end alone gives no line and no direction
        const PixelF e1 = view.to_pixel_f(rw.lat1, rw.lon1);
        const PixelF e2 = view.to_pixel_f(rw.lat2, rw.lon2);
        const Pixel p1 = rounded(e1), p2 = rounded(e2);
        const bool off = (p1.y > view.height && p2.y > view.height) || (p1.y < 0 && p2.y < 0) ||
                         (p1.x > view.width && p2.x > view.width) || (p1.x < 0 && p2.x < 0);
        if (!off) {
            canvas.set_pen(colour, PenStyle::solid, 3);
            canvas.line(p1.x, p1.y, p2.x, p2.y);
            canvas.set_brush(background);
            canvas.set_font_colour(colour);
            canvas.text(p1.x + 5, p1.y, rw.ident1);
            canvas.text(p2.x + 5, p2.y, rw.ident2);
        }
        if (rw.ils1) draw_feather(canvas, view, e1, e2, colour, errors);
        if (rw.ils2) draw_feather(canvas, view, e2, e1, colour, errors);
    }
}

void draw_airports(Canvas& canvas, const Viewport& view, const std::vector<Airport>& airports,
                   TColor colour) {
    canvas.set_pen(colour, PenStyle::solid, 1);
    for (const Airport& a : airports) {
        if (!view.contains(a.latitude, a.longitude)) continue;
        const Pixel p = view.to_pixel(a.latitude, a.longitude);
        draw_cross(canvas, p.x, p.y);
        canvas.set_font_colour(colour);
        canvas.text(p.x + 20, p.y, a.icao);
    }
}

void draw_fixes(Canvas& canvas, const Viewport& view, const std::vector<FIXE>& fixes,
                TColor colour) {
    canvas.set_pen(colour, PenStyle::solid, 1);
    for (const FIXE& f : fixes) {
        if (!f.selected || !view.contains(f.latitude, f.longitude)) continue;
        const Pixel p = view.to_pixel(f.latitude, f.longitude);
        draw_triangle(canvas, p.x, p.y);
        canvas.set_font_colour(colour);
        canvas.text(p.x + 20, p.y, f.ident);
    }
}

namespace {

// A navaid: the dot in its colour, its own outline, then its label on a box
// of the background colour.
template <class Outline>
void draw_navaids(Canvas& canvas, const Viewport& view, const std::vector<VOR>& navaids,
                  TColor colour, TColor background, Outline&& outline) {
    canvas.set_pen(colour, PenStyle::solid, 1);
    for (const VOR& n : navaids) {
        if (!view.contains(n.latitude, n.longitude)) continue;
        const Pixel p = view.to_pixel(n.latitude, n.longitude);
        canvas.set_brush(colour);
        draw_dot(canvas, p.x, p.y);
        outline(p);
        canvas.set_brush(background);
        canvas.set_font_colour(colour);
        canvas.text(p.x + 20, p.y, n.ident);
    }
}

}  // namespace

void draw_vors(Canvas& canvas, const Viewport& view, const std::vector<VOR>& vors, TColor colour,
               TColor background) {
    draw_navaids(canvas, view, vors, colour, background,
                 [&](Pixel p) { draw_hexagon(canvas, p.x, p.y); });
}

void draw_ndbs(Canvas& canvas, const Viewport& view, const std::vector<VOR>& ndbs, TColor colour,
               TColor background) {
    draw_navaids(canvas, view, ndbs, colour, background, [&](Pixel p) {
        canvas.clear_brush();
        draw_circle(canvas, p.x, p.y);
    });
}

void draw_procedures(Canvas& canvas, const Viewport& view, const std::vector<ROUTE>& procedures,
                     ProcedureKind kind, TColor colour, TColor background) {
    canvas.set_pen(colour, PenStyle::solid, 1);
    canvas.set_font_colour(colour);
    std::string text;  // one label at a time
    for (const ROUTE& proc : procedures) {
        if (!proc.selected) continue;
        auto label = [&](const std::string& t) -> const std::string& {
            text.assign(proc.icao).append("-").append(proc.name).append(" ").append(t);
            return text;
        };
        // The last element of `lines` only ends the segment before it.
        const long long segments = static_cast<long long>(proc.lines.size()) - 1;
        bool drawn = false;
        Pixel last_start, last_end;  // the most recently drawn segment
        for (size_t k = 0; k < proc.transitions.size(); ++k) {
            const std::string& transition = proc.transitions[k];
            bool first = true;
            for (long long i = 0; i < segments; ++i) {
                const LINE& l = proc.lines[static_cast<size_t>(i)];
                if (l.transition != transition ||
                    !view.segment_visible(l.lat1, l.lon1, l.lat2, l.lon2))
                    continue;
                const int step = static_cast<int>(std::min<size_t>(k, 1000000)) * 10;
                if (first && k > 0 && drawn) {
                    // Path construction joins one transition's end to the next
                    // one's start: that segment is erased, the finished
                    // transition named at its end.
                    canvas.set_pen_colour(background);
                    canvas.line(last_start.x, last_start.y, last_end.x, last_end.y);
                    canvas.set_pen_colour(colour);
                    canvas.text(last_start.x + 10, last_start.y + step - 10,
                                label(proc.transitions[k - 1]));
                }
                first = false;
                last_start = view.to_pixel(l.lat1, l.lon1);
                last_end = view.to_pixel(l.lat2, l.lon2);
                drawn = true;
                canvas.line(last_start.x, last_start.y, last_end.x, last_end.y);
                if ((kind == ProcedureKind::sid && i == segments - 1) ||
                    (kind == ProcedureKind::star && i == 0))
                    canvas.text(last_end.x + 10, last_end.y + step, label(transition));
            }
        }
    }
}

void draw_measure(Canvas& canvas, const MouseState& mouse, TColor colour) {
    canvas.set_pen(colour, PenStyle::dot, 1);
    canvas.line(mouse.press_x, mouse.press_y, mouse.measure_x, mouse.measure_y);
    canvas.set_font_colour(colour);
    canvas.text(mouse.measure_x + 14, mouse.measure_y, mouse.measure_distance_text + "nm");
    canvas.text(mouse.measure_x + 14, mouse.measure_y + 14, mouse.measure_bearing_text);
}

void draw_map(Canvas& canvas, const Viewport& v, const MapView& view, const MapContent& content,
              ArithmeticErrors& errors) {
    const NavTables& nav = content.nav;
    const SelectionFrame& frame = content.frame;
    const ColourTable& colours = content.colours;
    const auto shown = [&](int entry) { return colours[static_cast<size_t>(entry)].visible; };
    const auto col = [&](int entry) { return colours[static_cast<size_t>(entry)].color; };
    const TColor background = col(colour::background);

    draw_background(canvas, v, background, view.map_font_size);
    draw_ground(canvas, v, nav.ground, content.ground, background);
    if (shown(colour::rings))
        draw_rings(canvas, v, v.to_pixel(frame.centre_lat, frame.centre_lon),
                   frame.view.ring_step_nm, col(colour::rings));
    if (shown(colour::geo)) draw_geography(canvas, v, nav.geo_lines, frame.box, content.details);
    if (content.outlines.visible)
        draw_outlines(canvas, v, nav.outlines.records(), content.outlines.color);
    if (shown(colour::airway)) draw_airways(canvas, v, nav.airways.records(), col(colour::airway));
    if (shown(colour::runway))
        draw_runways(canvas, v, nav.runways.records(), col(colour::runway), background, errors);
    if (shown(colour::airport))
        draw_airports(canvas, v, nav.airports.records(), col(colour::airport));
    if (shown(colour::fixes)) draw_fixes(canvas, v, nav.waypoints.records(), col(colour::fixes));
    if (shown(colour::vor)) draw_vors(canvas, v, nav.vors.records(), col(colour::vor), background);
    if (shown(colour::ndb)) draw_ndbs(canvas, v, nav.ndbs.records(), col(colour::ndb), background);
    if (shown(colour::sid))
        draw_procedures(canvas, v, nav.sids.records(), ProcedureKind::sid, col(colour::sid),
                        background);
    if (shown(colour::star))
        draw_procedures(canvas, v, nav.stars.records(), ProcedureKind::star, col(colour::star),
                        background);
    if (view.mouse.measuring) draw_measure(canvas, view.mouse, col(colour::measure));
}

void draw_map(MapView& view, LabelCache& labels, const MapContent& content,
              ArithmeticErrors& errors) {
    const Viewport v = compute_view_edges(view, content.frame);
    QtCanvas canvas(view.map_bitmap, view.font_name, labels);
    draw_map(canvas, v, view, content, errors);
}

}  // namespace karvel
