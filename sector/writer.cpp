#include "sector/writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/colours.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "sector/client_sections.h"
#include "sector/coord.h"
#include "sector/ground_pieces.h"
#include "sector/lines.h"

namespace karvel {
namespace {

constexpr size_t kLabelWidth = 25;

void separators(std::vector<std::string>& lines, int count) {
    for (int i = 0; i < count; ++i) lines.emplace_back(";");
}

std::string segment(const std::string& label, double lat1, double lon1, double lat2, double lon2) {
    std::string line;
    line.reserve(label.size() + 61);
    line += label;
    line += ' ';
    append_position(line, lat1, lon1);
    line += ' ';
    append_position(line, lat2, lon2);
    return line;
}

// A name from the data as the start of a line, so that it stays a name: a
// ";" in it (a comment to the readers, wherever it stands) becomes "_", and
// one that would begin a section or a colour ("[", "#", after blanks) gets
// a "_" before it.
std::string line_label(const std::string& name) {
    std::string label = name;
    std::replace(label.begin(), label.end(), ';', '_');
    const size_t first = label.find_first_not_of(" \t");
    if (first != std::string::npos && (label[first] == '[' || label[first] == '#'))
        return "_" + label.substr(first);
    return label;
}

// Segments into lines; in the client format one that crosses 180 degrees is
// written as two meeting at the meridian, the second without the label.
struct Segments {
    std::vector<std::string>& lines;
    bool split = false;

    // The lines written for the segment.
    size_t add(const std::string& name, double lat1, double lon1, double lat2, double lon2) {
        const std::string label = split ? line_label(name) : name;
        if (!split || !may_cross(lon1, lon2)) {
            lines.push_back(segment(label, lat1, lon1, lat2, lon2));
            return 1;
        }
        size_t n = 0;
        for (const auto& part : split_at_antimeridian({{lat1, lon1}, {lat2, lon2}}))
            for (size_t i = 0; i + 1 < part.size(); ++i, ++n)
                lines.push_back(segment(n == 0 ? label : std::string(label.size(), ' '),
                                        part[i].latitude, part[i].longitude, part[i + 1].latitude,
                                        part[i + 1].longitude));
        return n;
    }
};

void navaids(std::vector<std::string>& lines, const Table<VOR>& table, size_t width, bool client) {
    for (const VOR& v : table)
        lines.push_back(fill(client ? line_label(v.ident) : v.ident, width) + " " +
                        fill(v.freq, 7) + " " + position_text(v.latitude, v.longitude) + " ;" +
                        v.desc);
}

// SIDs and STARs: each procedure's segments grouped by transition, the label
// on the first written segment of each. The segment that joins the end of
// one transition to the start of the next is taken out again.
void procedures(Segments out, const Table<ROUTE>& table) {
    std::vector<std::string>& lines = out.lines;
    for (const ROUTE& r : table) {
        if (!r.selected) continue;
        size_t written = 0;  // segments of this procedure still in the list
        size_t last = 0;     // the lines of the last one
        for (size_t k = 0; k < r.transitions.size(); ++k) {
            const std::string& transition = r.transitions[k];
            bool first = true;
            for (size_t j = 0; j + 1 < r.lines.size(); ++j) {
                const LINE& l = r.lines[j];
                if (l.transition != transition) continue;
                std::string label;
                if (first) {
                    // Only ever a line of this procedure: never a header, a
                    // separator or another procedure's line.
                    if (k > 0 && written > 0) {
                        lines.resize(lines.size() - last);
                        --written;
                    }
                    label = fill(r.icao + "-" + r.name + " " + l.transition, kLabelWidth);
                    first = false;
                } else {
                    label.assign(kLabelWidth, ' ');
                }
                last = out.add(label, l.lat1, l.lon1, l.lat2, l.lon2);
                ++written;
            }
        }
    }
}

// Airways: all their segments (level unknown), or those of one level (low or
// high; a segment of both levels goes under each, one of no known level is
// high).
void airways(Segments out, const Table<ROUTE>& table, AirwayLevel level) {
    for (const ROUTE& a : table) {
        if (!a.selected) continue;
        bool first = true;
        for (const LINE& l : a.lines) {
            const AirwayLevel own = l.level != AirwayLevel::unknown ? l.level : AirwayLevel::high;
            if (level != AirwayLevel::unknown && own != level && own != AirwayLevel::both) continue;
            const std::string label =
                first ? fill(a.name, kLabelWidth) : std::string(kLabelWidth, ' ');
            first = false;
            out.add(label, l.lat1, l.lon1, l.lat2, l.lon2);
        }
    }
}

// A runway end's heading in the program's layout: the whole degree nearest
// the true heading (halves to the even one) where the end has an ILS, "000"
// where it has none.
std::string heading_field(double heading, bool shown) {
    return shown ? whole_text(heading) : "000";
}

// A runway end's magnetic heading on three digits, 001 to 360 (0 would say
// "no extended centre line"): the true bearing from the end to the other one
// less the declination at the end, to the nearest whole degree; "000" for
// an end with no position on the globe.
std::string magnetic_heading(double lat, double lon, double to_lat, double to_lon,
                             const SectorFormat& format) {
    long double h = initial_bearing(lat, lon, to_lat, to_lon) - format.declination(lat, lon);
    if (!std::isfinite(h)) return "000";
    h = std::fmod(h, 360.0L);
    if (h < 0) h += 360;
    long long degrees = std::llround(h);  // a half away from zero
    if (degrees % 360 == 0) degrees = 360;
    char text[16];
    std::snprintf(text, sizeof text, "%03lld", degrees);
    return text;
}

// The magnetic variation of [INFO]: West positive, two decimals.
std::string variation_text(double declination) {
    const std::string text = format_fixed(magnetic_variation(declination), 2);
    return text == "-0.00" ? "0.00" : text;
}

// The GEO segment from point j to point j + 1 goes into the file.
bool geo_written(const GeoBox& box, const t_geo& g, size_t j) {
    return box.contains(g.points[j]) || box.contains(g.points[j + 1]);
}

// "#define NAME VALUE" for each colour name the [GEO] lines use, the value
// the colour's blue, green, red bytes as one decimal number, from the GEO
// kinds' display colours (the map's cyan where none is set).
void colour_defines(std::vector<std::string>& lines, const NavTables& nav, const GeoBox& box,
                    const std::vector<t_define>& details, bool centrelines) {
    std::vector<std::string> names;
    for (const t_geo& g : nav.geo_lines) {
        if (std::find(names.begin(), names.end(), g.name) != names.end()) continue;
        for (size_t j = 0; j + 1 < g.points.size(); ++j)
            if (geo_written(box, g, j)) {
                names.push_back(g.name);
                break;
            }
    }
    if (centrelines) names.emplace_back(kCentrelineColour);
    const GeoColours colours(details);
    for (const std::string& name : names)
        lines.push_back("#define " + name + " " +
                        std::to_string(static_cast<uint32_t>(colours.of(name)) & 0xFFFFFFu));
}

// The ground's paints that draw something, in their order.
std::array<bool, kGroundPaintCount> ground_paints_used(const Ground& ground) {
    std::array<bool, kGroundPaintCount> used{};
    for (const GroundShape& s : ground.shapes)
        if (const GroundPaint p = ground_paint(s); p != GroundPaint::none)
            used[static_cast<size_t>(p)] = true;
    if (!ground.stands.empty()) used[static_cast<size_t>(GroundPaint::stand)] = true;
    return used;
}

void ground_defines(std::vector<std::string>& lines, const Ground& ground,
                    const std::array<TColor, kGroundPaintCount>& colours) {
    const auto used = ground_paints_used(ground);
    for (size_t i = 0; i < kGroundPaintCount; ++i)
        if (used[i])
            lines.push_back(std::string("#define ") +
                            ground_paint_info(static_cast<GroundPaint>(i)).colour_name + " " +
                            std::to_string(static_cast<uint32_t>(colours[i]) & 0xFFFFFFu));
}

}  // namespace

std::array<TColor, kGroundPaintCount> default_ground_paints() {
    std::array<TColor, kGroundPaintCount> colours{};
    for (size_t i = 0; i < kGroundPaintCount; ++i)
        colours[i] = ground_paint_info(static_cast<GroundPaint>(i)).colour;
    return colours;
}

IdentityFault client_identity_fault(const SectorIdentity& identity) {
    const std::string* const fields[] = {&identity.name, &identity.callsign, &identity.icao};
    for (int i = 0; i < 3; ++i) {
        const std::string& t = *fields[i];
        // Readers pass over the blanks a line begins with.
        const size_t first = t.find_first_not_of(" \t");
        if (first == std::string::npos) return {i, true};
        if (t[first] == ';' || t[first] == '[' || t[first] == '#') return {i, false};
    }
    return {};
}

namespace {

void info(std::vector<std::string>& lines, const SelectionFrame& frame,
          const SectorIdentity& identity, const SectorFormat& format) {
    lines.emplace_back("[INFO]");
    lines.push_back(identity.name);
    lines.push_back(identity.callsign);
    lines.push_back(identity.icao);
    const CoordText centre = format_coord({frame.centre_lat, frame.centre_lon});
    lines.push_back(centre.latitude);
    lines.push_back(centre.longitude);
    lines.push_back(format_fixed(frame.plane.nm_per_deg_lat, 2, 4));
    lines.push_back(format_fixed(frame.plane.nm_per_deg_lon, 2, 4));
    lines.push_back(format.client
                        ? variation_text(format.declination(frame.centre_lat, frame.centre_lon))
                        : std::string("0"));
    lines.emplace_back("1");
}

void fixes(std::vector<std::string>& lines, const Table<FIXE>& waypoints,
           const std::vector<FIXE>& outside, bool client) {
    for (const auto* table : {&waypoints.records(), &outside})
        for (const FIXE& w : *table)
            if (w.selected)
                lines.push_back(fill(client ? line_label(w.ident) : w.ident, 5) + " " +
                                position_text(w.latitude, w.longitude) + " ;" + w.comment);
}

void airports(std::vector<std::string>& lines, const NavTables& nav, bool client) {
    if (client) {
        const AirportRadio radio(nav);
        for (const Airport& a : nav.airports)
            lines.push_back(client_airport_line(a, radio, nav.outlines));
        return;
    }
    for (const Airport& a : nav.airports) {
        lines.push_back(fill(a.icao, 4) + " " + fill(a.freq, 7) + " " +
                        position_text(a.latitude, a.longitude) + " " + fill(a.class_code, 1) +
                        " ;" + a.comment);
    }
}

// Runways with both ends known (only they have a line to draw). In the
// program's layout only an end with an ILS shows its heading; in the
// client format every end shows its magnetic heading.
void runways(std::vector<std::string>& lines, const NavTables& nav, const SectorFormat& format) {
    for (const RUNWAY& r : nav.runways) {
        if (!r.paired()) continue;
        if (format.client) {
            const Airport* a = nav.airports.find(r.airport_id);
            const std::string icao = a ? a->icao : "";
            lines.push_back(fill(r.ident1, 3) + " " + fill(r.ident2, 3) + " " +
                            magnetic_heading(r.lat1, r.lon1, r.lat2, r.lon2, format) + " " +
                            magnetic_heading(r.lat2, r.lon2, r.lat1, r.lon1, format) + " " +
                            position_text(r.lat1, r.lon1) + " " + position_text(r.lat2, r.lon2) +
                            " " + icao + " " + r.airport_name +
                            (r.comment.empty() ? "" : " ;" + r.comment));
            continue;
        }
        lines.push_back(fill(r.ident1, 3) + " " + fill(r.ident2, 3) + " " +
                        fill(heading_field(r.heading1, r.ils1), 3) + " " +
                        fill(heading_field(r.heading2, r.ils2), 3) + " " +
                        position_text(r.lat1, r.lon1) + " " + position_text(r.lat2, r.lon2) + " ;" +
                        r.comment);
    }
}

// The segments of the GEO lines with an end in the selection box.
// In the client format each kind in its group.
void geography(GeoLines& out, const std::vector<t_geo>& geo_lines, const GeoBox& box) {
    for (const t_geo& g : geo_lines) {
        const std::string group = g.name == "coast"   ? w1252("côtes")
                                  : g.name == "river" ? w1252("lacs et rivières")
                                                      : g.name;
        for (size_t j = 0; j + 1 < g.points.size(); ++j)
            if (geo_written(box, g, j)) out.add(group, g.points[j], g.points[j + 1], g.name);
    }
}

void section(std::vector<std::string>& lines, const char* header);

// The outlines of one layer, each edge of each ring a line with the
// outline's name (an edge across 180 degrees two lines meeting there),
// after a comment line for each source's attribution. Nothing at all when
// the selection has none of that layer.
void outlines(std::vector<std::string>& lines, const Table<Outline>& table, OutlineLayer layer,
              const char* header) {
    std::vector<std::string> credits;
    bool any = false;
    for (const Outline& o : table) {
        if (!o.selected || o.layer != layer) continue;
        any = true;
        const std::string credit =
            o.source + (o.attribution.empty() ? std::string() : " : " + o.attribution);
        if (std::find(credits.begin(), credits.end(), credit) == credits.end())
            credits.push_back(credit);
    }
    if (!any) return;
    section(lines, header);
    for (const std::string& c : credits) lines.push_back("; " + c);
    for (const Outline& o : table) {
        if (!o.selected || o.layer != layer) continue;
        const std::string label = line_label(o.name);
        for (const t_point& ring : o.rings)
            for (size_t i = 0; i < ring.size() && ring.size() > 1; ++i) {
                const geo_point& a = ring[i];
                const geo_point& b = ring[(i + 1) % ring.size()];
                if (!may_cross(a.longitude, b.longitude)) {
                    lines.push_back(
                        segment(label, a.latitude, a.longitude, b.latitude, b.longitude));
                    continue;
                }
                for (const auto& part : split_at_antimeridian({a, b}))
                    for (size_t j = 0; j + 1 < part.size(); ++j)
                        lines.push_back(segment(label, part[j].latitude, part[j].longitude,
                                                part[j + 1].latitude, part[j + 1].longitude));
            }
    }
}

// The areas, airport by airport, the unpaved first and the runways last (a
// reader fills them in the file's order): each paint's pieces under a
// REGIONNAME line naming the airport and the group, each piece its colour
// and first point on one line, then a point a line.
void ground_regions(std::vector<std::string>& lines, const Ground& ground) {
    for (const std::string& icao : ground.airports)
        for (const GroundPaint paint :
             {GroundPaint::unpaved, GroundPaint::paved, GroundPaint::runway}) {
            const GroundPaintInfo& info = ground_paint_info(paint);
            const std::string indent(std::string(info.colour_name).size() + 1, ' ');
            bool named = false;
            for (const GroundShape& s : ground.shapes) {
                if (s.airport != icao || s.kind == GroundKind::line || ground_paint(s) != paint)
                    continue;
                for (const t_point& piece : hole_free_pieces(s.rings)) {
                    if (piece.size() < 3) continue;
                    if (!named) lines.push_back("REGIONNAME " + icao + " " + info.group);
                    named = true;
                    for (size_t i = 0; i < piece.size(); ++i)
                        lines.push_back((i ? indent : std::string(info.colour_name) + " ") +
                                        position_text(piece[i].latitude, piece[i].longitude));
                }
            }
        }
}

// Each stand's name, quoted (a quote in it becomes an apostrophe), at the
// stand.
void ground_labels(std::vector<std::string>& lines, const Ground& ground) {
    const std::string colour = ground_paint_info(GroundPaint::stand).colour_name;
    for (const Stand& st : ground.stands) {
        std::string name = st.name;
        std::replace(name.begin(), name.end(), '"', '\'');
        lines.push_back('"' + name + "\" " + position_text(st.latitude, st.longitude) + " " +
                        colour);
    }
}

// Three separators, then a section's header.
void section(std::vector<std::string>& lines, const char* header) {
    separators(lines, 3);
    lines.emplace_back(header);
}

}  // namespace

void write_sector(std::vector<std::string>& lines, const NavTables& nav,
                  const SelectionFrame& frame, const SectorIdentity& identity,
                  const SectorFormat& format) {
    const bool client = format.client;
    lines.push_back(w1252("; Ce fichier secteur a été créer par le logiciel ") + format.version);
    if (client) {
        if (!format.cycle.empty()) lines.push_back(kCycleComment + format.cycle);
        colour_defines(lines, nav, frame.box, format.details,
                       format.centrelines_nm > 0 && !nav.runways.empty());
        ground_defines(lines, nav.ground, format.ground_colours);
    }
    separators(lines, 4);
    info(lines, frame, identity, format);
    section(lines, "[VOR]");
    navaids(lines, nav.vors, 4, client);
    section(lines, "[NDB]");
    navaids(lines, nav.ndbs, 5, client);
    section(lines, "[FIXES]");
    fixes(lines, nav.waypoints, client ? format.outside_points : std::vector<FIXE>{}, client);
    section(lines, "[AIRPORT]");
    airports(lines, nav, client);
    section(lines, "[RUNWAY]");
    runways(lines, nav, format);
    section(lines, "[SID]");
    const Segments segments{lines, client};
    procedures(segments, nav.sids);
    section(lines, "[STAR]");
    procedures(segments, nav.stars);
    if (client) {
        outlines(lines, nav.outlines, OutlineLayer::artcc, "[ARTCC]");
        outlines(lines, nav.outlines, OutlineLayer::high, "[ARTCC HIGH]");
        outlines(lines, nav.outlines, OutlineLayer::low, "[ARTCC LOW]");
        section(lines, "[LOW AIRWAY]");
        airways(segments, nav.airways, AirwayLevel::low);
    }
    section(lines, "[HIGH AIRWAY]");
    airways(segments, nav.airways, client ? AirwayLevel::high : AirwayLevel::unknown);
    section(lines, "[GEO]");
    GeoLines geo(lines, client);
    geography(geo, nav.geo_lines, frame.box);
    if (client && format.centrelines_nm > 0) centrelines(geo, nav, format.centrelines_nm);
    if (client && !nav.ground.empty()) {
        ground_lines(geo, nav.ground);
        if (!format.regions) ground_areas(geo, nav.ground);
    }
    if (client && format.regions && !nav.ground.empty()) {
        section(lines, "[REGIONS]");
        ground_regions(lines, nav.ground);
        section(lines, "[LABELS]");
        ground_labels(lines, nav.ground);
    }
    separators(lines, 2);
}

std::string sector_bytes(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const std::string& l : lines) size += l.size() + 2;
    std::string out;
    out.reserve(size);
    for (const std::string& l : lines) {
        const size_t start = out.size();
        out += l;
        // A control character from the database (a CR inside an ident, a
        // tab in a name) would start a line or split a field for the radar
        // client: it becomes a blank.
        for (size_t i = start; i < out.size(); ++i) {
            const auto c = static_cast<unsigned char>(out[i]);
            if (c < 0x20 || c == 0x7F) out[i] = ' ';
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace karvel
