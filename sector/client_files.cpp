#include "sector/client_files.h"

#include <cmath>
#include <cstdio>

#include "core/colours.h"
#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "core/outline.h"
#include "sector/geojson.h"
#include "sector/polygons.h"

namespace karvel {
namespace {

using namespace geojson;

// ---- companion file --------------------------------------------------------

// A field of a line: without blanks, and without ':', which separates the
// fields.
std::string field(const std::string& s) {
    std::string out;
    for (const char c : s)
        if (c != ' ' && c != '\t' && c != ':') out += c;
    return out;
}

// The runway end a procedure names by its ID, as its ident ("27L").
std::string runway_ident(const NavTables& nav, const std::string& rwy_id) {
    if (const int p = nav.runways.ids().find(rwy_id); p >= 0)
        return nav.runways[static_cast<size_t>(p)].ident1;
    if (const int p = nav.runways.ids2().find(rwy_id); p >= 0)
        return nav.runways[static_cast<size_t>(p)].ident2;
    return {};
}

// The named points of the legs of `transitions`, in flying order, a point
// that repeats the one before it written once.
using Names = std::unordered_map<std::string, FIXE>;

std::string route_of(const NavTables& nav, const Names& names, const ROUTE& r,
                     const std::string& runway_transition) {
    std::string route, last;
    for (const t_leg& l : r.legs) {
        if (!l.transition.empty() && l.transition != runway_transition) continue;
        if (l.wptid.empty()) continue;
        std::string ident;
        if (const int w = nav.waypoints.ids().find(l.wptid); w >= 0)
            ident = nav.waypoints[static_cast<size_t>(w)].ident;
        else if (const auto it = names.find(l.wptid); it != names.end())
            ident = it->second.ident;
        ident = field(ident);
        if (ident.empty()) continue;
        if (ident == last) continue;
        route += (route.empty() ? "" : " ") + ident;
        last = ident;
    }
    return route;
}

// The runways of a runway transition ("09L" of "RW09L") as [RUNWAY] writes
// them: the airport's end of that ident; for a letter that none of the
// airport's ends of that number carries (B, "both"), or for none at an
// airport whose ends of that number all have one (26 at 26L and 26R), each
// end of that number; the transition's own text when the airport has no
// such end.
std::vector<std::string> transition_runways(const NavTables& nav, const ROUTE& r,
                                            const std::string& runway) {
    std::vector<std::string> ends;  // of the procedure's airport, paired
    for (const RUNWAY& w : nav.runways)
        if (w.paired() && w.airport_id == r.airport_id) {
            ends.push_back(w.ident1);
            ends.push_back(w.ident2);
        }
    for (const std::string& e : ends)
        if (equals_nocase(e, runway)) return {e};
    std::vector<std::string> same_number;
    if (runway.size() == 3 || runway.size() == 2)  // "B", or no letter at parallel runways
        for (const std::string& e : ends)
            if (e.size() == 3 && e.compare(0, 2, runway, 0, 2) == 0) same_number.push_back(e);
    if (same_number.empty()) return {runway};
    return same_number;
}

void procedures(std::vector<std::string>& lines, const NavTables& nav, const Names& names,
                const Table<ROUTE>& table, const char* kind) {
    for (const ROUTE& r : table) {
        if (!r.selected) continue;
        const std::string head = std::string(kind) + ":" + field(r.icao) + ":";
        const std::string name = field(r.name);
        bool any = false;
        for (const std::string& t : r.transitions)
            if (t.size() > 2 && upper_ascii(t.substr(0, 2)) == "RW") {
                const std::string route = route_of(nav, names, r, t);
                for (const std::string& runway : transition_runways(nav, r, t.substr(2)))
                    lines.push_back(head + field(runway) + ":" + name + ":" + route);
                any = true;
            }
        if (any) continue;
        const std::string runway = runway_ident(nav, r.rwy_id);
        if (!runway.empty())
            lines.push_back(head + field(runway) + ":" + name + ":" + route_of(nav, names, r, ""));
    }
}

// ---- GeoJSON -----------------------------------------------------------------

std::string colour_text(TColor c) {
    return to_qcolor(c).name().toStdString();
}

// Rings as a Polygon, or a MultiPolygon when they make several shapes or
// one cut at 180 degrees: a ring inside another is its hole. Empty when
// they make none.
std::string polygon_geometry(const std::vector<t_point>& rings) {
    std::vector<std::string> polygons;
    for (const Polygon& polygon : outline_polygons(rings)) {
        std::string s(1, '[');
        for (size_t r = 0; r < polygon.size(); ++r) {
            s += r ? ",[" : "[";
            for (size_t i = 0; i < polygon[r].size(); ++i) {
                if (i) s += ',';
                s += position(polygon[r][i]);
            }
            s += ']';
        }
        polygons.push_back(s + "]");
    }
    if (polygons.empty()) return {};
    if (polygons.size() == 1) return "{\"type\":\"Polygon\",\"coordinates\":" + polygons[0] + "}";
    std::string geometry = "{\"type\":\"MultiPolygon\",\"coordinates\":[";
    for (size_t i = 0; i < polygons.size(); ++i) geometry += (i ? "," : "") + polygons[i];
    return geometry + "]}";
}

void outline_feature(Writer& w, const Outline& o, const std::string& colour) {
    const std::string geometry = polygon_geometry(o.rings);
    if (geometry.empty()) return;
    w.feature(geometry,
              prop("kind", "outline") + "," + prop("name", o.name) + "," + prop("type", o.kind) +
                  "," + prop("layer", outline_layer_text(o.layer)) + "," + prop("lower", o.lower) +
                  "," + prop("upper", o.upper) + "," + prop("source", o.source) + "," +
                  prop("attribution", o.attribution) + "," + prop("colour", colour));
}

// The chosen airports' ground as the client format has it: the areas
// (with their holes), the taxi centrelines and hold lines, the stands.
void ground_features(Writer& w, const Ground& ground,
                     const std::array<t_couleur, kGroundPaintCount>& colours) {
    const auto paint_props = [&](GroundPaint p) {
        return prop("paint", ground_paint_info(p).key) + "," +
               prop("colour", colour_text(colours[static_cast<size_t>(p)].color));
    };
    for (const GroundShape& s : ground.shapes) {
        const GroundPaint paint = ground_paint(s);
        if (paint == GroundPaint::none) continue;
        const std::string props = prop("airport", s.airport) + "," + prop("name", s.name) + "," +
                                  "\"code\":" + std::to_string(s.code) + "," + paint_props(paint);
        if (s.kind == GroundKind::line) {
            for (const t_point& path : s.rings)
                w.line(path, prop("kind", "groundline") + "," + props);
        } else if (const std::string geometry = polygon_geometry(s.rings); !geometry.empty()) {
            w.feature(geometry, prop("kind", "ground") + "," +
                                    prop("type", ground_kind_text(s.kind)) + "," + props);
        }
    }
    for (const Stand& st : ground.stands)
        w.point({st.latitude, st.longitude},
                prop("kind", "stand") + "," + prop("airport", st.airport) + "," +
                    prop("name", st.name) + "," + prop("type", st.kind) + "," +
                    "\"heading\":" + number(st.heading) + "," + paint_props(GroundPaint::stand));
}

void navaids(Writer& w, const Table<VOR>& table, const char* kind) {
    for (const VOR& v : table) {
        std::string freq = v.freq;
        freq.erase(0, freq.find_first_not_of(' '));
        w.point({v.latitude, v.longitude}, prop("kind", v.desc == "ILS" ? "ils" : kind) + "," +
                                               prop("ident", v.ident) + "," + prop("name", v.name) +
                                               "," + prop("frequency", freq));
    }
}

void procedure_lines(Writer& w, const Table<ROUTE>& table, const char* kind,
                     const std::string& colour) {
    for (const ROUTE& r : table) {
        if (!r.selected) continue;
        for (const std::string& t : r.transitions) {
            std::vector<geo_point> points;
            for (const LINE& l : r.lines)
                if (l.transition == t) points.push_back({l.lat1, l.lon1});
            w.line(points, prop("kind", kind) + "," + prop("name", r.icao + "-" + r.name) + "," +
                               prop("transition", t) + "," + prop("colour", colour));
        }
    }
}

}  // namespace

std::vector<std::string> ese_lines(const NavTables& nav, const Names& names) {
    std::vector<std::string> lines{"[SIDSSTARS]"};
    procedures(lines, nav, names, nav.sids, "SID");
    procedures(lines, nav, names, nav.stars, "STAR");
    return lines;
}

std::string geojson_text(const NavTables& nav, const GeoBox& box,
                         const std::array<t_couleur, kColourCount>& colours,
                         const std::vector<t_define>& details, TColor outline_colour,
                         const std::array<t_couleur, kGroundPaintCount>& ground_colours) {
    Writer w;
    ground_features(w, nav.ground, ground_colours);
    const auto col = [&](int entry) {
        return colour_text(colours[static_cast<size_t>(entry)].color);
    };
    for (const Airport& a : nav.airports)
        w.point({a.latitude, a.longitude},
                prop("kind", "airport") + "," + prop("ident", a.icao) + "," + prop("name", a.name));
    navaids(w, nav.vors, "vor");
    navaids(w, nav.ndbs, "ndb");
    for (const FIXE& f : nav.waypoints)
        if (f.selected)
            w.point({f.latitude, f.longitude}, prop("kind", "fix") + "," + prop("ident", f.ident) +
                                                   "," + prop("name", f.name));
    for (const RUNWAY& r : nav.runways)
        if (r.paired())
            w.line({{r.lat1, r.lon1}, {r.lat2, r.lon2}},
                   prop("kind", "runway") + "," + prop("name", r.ident1 + "/" + r.ident2) + "," +
                       prop("airport", r.airport_name) + "," + prop("colour", col(colour::runway)));
    for (const ROUTE& a : nav.airways) {
        if (!a.selected) continue;
        for (const LINE& l : a.lines) {
            const char* level = airway_level_text(l.level);
            w.line({{l.lat1, l.lon1}, {l.lat2, l.lon2}},
                   prop("kind", "airway") + "," + prop("name", a.name) + "," +
                       prop("level", level) + "," + prop("colour", col(colour::airway)));
        }
    }
    for (const Outline& o : nav.outlines)
        if (o.selected) outline_feature(w, o, colour_text(outline_colour));
    procedure_lines(w, nav.sids, "sid", col(colour::sid));
    procedure_lines(w, nav.stars, "star", col(colour::star));
    const GeoColours geo_colours(details);
    for (const t_geo& g : nav.geo_lines) {
        const TColor c = geo_colours.of(g.name);
        // Each run of segments with an end in the selection box, as the
        // sector file writes them.
        std::vector<geo_point> run;
        for (size_t j = 0; j + 1 < g.points.size(); ++j) {
            if (box.contains(g.points[j]) || box.contains(g.points[j + 1])) {
                if (run.empty()) run.push_back(g.points[j]);
                run.push_back(g.points[j + 1]);
                continue;
            }
            w.line(run, prop("kind", g.name) + "," + prop("colour", colour_text(c)));
            run.clear();
        }
        w.line(run, prop("kind", g.name) + "," + prop("colour", colour_text(c)));
    }
    return w.text();
}

}  // namespace karvel
