#include "sector/writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/colours.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "sector/coord.h"

namespace karvel {
namespace {

constexpr size_t kLabelWidth = 25;

void separators(std::vector<std::string>& lines, int count) {
    for (int i = 0; i < count; ++i) lines.emplace_back(";");
}

// "lat lon" of one position.
std::string position(double latitude, double longitude) {
    std::string s;
    append_position(s, latitude, longitude);
    return s;
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

void navaids(std::vector<std::string>& lines, const Table<VOR>& table, size_t width) {
    for (const VOR& v : table)
        lines.push_back(fill(v.ident, width) + " " + fill(v.freq, 7) + " " +
                        position(v.latitude, v.longitude) + " ;" + v.desc);
}

// SIDs and STARs: each procedure's segments grouped by transition, the label
// on the first written segment of each. The segment that joins the end of
// one transition to the start of the next is taken out again.
void procedures(std::vector<std::string>& lines, const Table<ROUTE>& table) {
    for (const ROUTE& r : table) {
        if (!r.selected) continue;
        size_t written = 0;  // lines of this procedure still in the list
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
                        lines.pop_back();
                        --written;
                    }
                    label = fill(r.icao + "-" + r.name + " " + l.transition, kLabelWidth);
                    first = false;
                } else {
                    label.assign(kLabelWidth, ' ');
                }
                lines.push_back(segment(label, l.lat1, l.lon1, l.lat2, l.lon2));
                ++written;
            }
        }
    }
}

// Airways: all their segments (level unknown), or those of one level (low or
// high; a segment of both levels goes under each, one of no known level is
// high).
void airways(std::vector<std::string>& lines, const Table<ROUTE>& table, AirwayLevel level) {
    for (const ROUTE& a : table) {
        if (!a.selected) continue;
        bool first = true;
        for (const LINE& l : a.lines) {
            const AirwayLevel own = l.level != AirwayLevel::unknown ? l.level : AirwayLevel::high;
            if (level != AirwayLevel::unknown && own != level && own != AirwayLevel::both) continue;
            const std::string label =
                first ? fill(a.name, kLabelWidth) : std::string(kLabelWidth, ' ');
            first = false;
            lines.push_back(segment(label, l.lat1, l.lon1, l.lat2, l.lon2));
        }
    }
}

// A runway end's heading in the program's layout: the whole degree nearest
// the true heading (halves to the even one) where the end has an ILS, "000"
// where it has none.
std::string heading_field(double heading, bool shown) {
    return shown ? whole_text(heading) : "000";
}

// The same on three digits; north of a runway end is 360 (0 says "no
// extended centre line"), "000" where the end shows none or the heading is
// no whole number of degrees a radar client can read.
std::string three_digit_heading(double heading, bool shown) {
    const long double h = std::nearbyint(static_cast<long double>(heading));
    if (!shown || !(h >= INT32_MIN && h <= INT32_MAX)) return "000";
    int32_t degrees = static_cast<int32_t>(h);
    if (degrees % 360 == 0) degrees = 360;
    char text[16];
    std::snprintf(text, sizeof text, "%03d", static_cast<int>(degrees));
    return text;
}

// The GEO segment from point j to point j + 1 goes into the file.
bool geo_written(const GeoBox& box, const t_geo& g, size_t j) {
    return box.contains(g.points[j]) || box.contains(g.points[j + 1]);
}

// "#define NAME VALUE" for each colour name the [GEO] lines use, the value
// the colour's blue, green, red bytes as one decimal number, from the GEO
// kinds' display colours (the map's cyan where none is set).
void colour_defines(std::vector<std::string>& lines, const NavTables& nav, const GeoBox& box,
                    const std::vector<t_define>& details) {
    std::vector<std::string> names;
    for (const t_geo& g : nav.geo_lines) {
        if (std::find(names.begin(), names.end(), g.name) != names.end()) continue;
        for (size_t j = 0; j + 1 < g.points.size(); ++j)
            if (geo_written(box, g, j)) {
                names.push_back(g.name);
                break;
            }
    }
    const GeoColours colours(details);
    for (const std::string& name : names)
        lines.push_back("#define " + name + " " +
                        std::to_string(static_cast<uint32_t>(colours.of(name)) & 0xFFFFFFu));
}

}  // namespace

int missing_identity(const SectorIdentity& identity) {
    if (identity.name.empty()) return 0;
    if (identity.callsign.empty()) return 1;
    if (identity.icao.empty()) return 2;
    return -1;
}

namespace {

void info(std::vector<std::string>& lines, const SelectionFrame& frame,
          const SectorIdentity& identity) {
    lines.emplace_back("[INFO]");
    lines.push_back(identity.name);
    lines.push_back(identity.callsign);
    lines.push_back(identity.icao);
    const CoordText centre = format_coord({frame.centre_lat, frame.centre_lon});
    lines.push_back(centre.latitude);
    lines.push_back(centre.longitude);
    lines.push_back(format_fixed(frame.plane.nm_per_deg_lat, 2, 4));
    lines.push_back(format_fixed(frame.plane.nm_per_deg_lon, 2, 4));
    lines.emplace_back("0");
    lines.emplace_back("1");
}

void fixes(std::vector<std::string>& lines, const Table<FIXE>& waypoints) {
    for (const FIXE& w : waypoints)
        if (w.selected)
            lines.push_back(fill(w.ident, 5) + " " + position(w.latitude, w.longitude) + " ;" +
                            w.comment);
}

void airports(std::vector<std::string>& lines, const Table<Airport>& table, bool client) {
    for (const Airport& a : table) {
        if (client) {  // never an empty field: the reader would shift the next ones
            lines.push_back(fill(a.icao, 4) + " " + (a.freq.empty() ? "000.000" : fill(a.freq, 7)) +
                            " " + position(a.latitude, a.longitude) +
                            (a.class_code.empty() ? "" : " " + a.class_code) + " ;" + a.comment);
            continue;
        }
        lines.push_back(fill(a.icao, 4) + " " + fill(a.freq, 7) + " " +
                        position(a.latitude, a.longitude) + " " + fill(a.class_code, 1) + " ;" +
                        a.comment);
    }
}

// Runways with both ends known (only they have a line to draw); only an end
// with an ILS shows its heading.
void runways(std::vector<std::string>& lines, const NavTables& nav, bool client) {
    for (const RUNWAY& r : nav.runways) {
        if (!r.paired()) continue;
        if (client) {
            const Airport* a = nav.airports.find(r.airport_id);
            const std::string icao = a ? a->icao : "";
            lines.push_back(fill(r.ident1, 3) + " " + fill(r.ident2, 3) + " " +
                            three_digit_heading(r.heading1, r.ils1) + " " +
                            three_digit_heading(r.heading2, r.ils2) + " " +
                            position(r.lat1, r.lon1) + " " + position(r.lat2, r.lon2) + " " + icao +
                            " " + r.airport_name + (r.comment.empty() ? "" : " ;" + r.comment));
            continue;
        }
        lines.push_back(fill(r.ident1, 3) + " " + fill(r.ident2, 3) + " " +
                        fill(heading_field(r.heading1, r.ils1), 3) + " " +
                        fill(heading_field(r.heading2, r.ils2), 3) + " " +
                        position(r.lat1, r.lon1) + " " + position(r.lat2, r.lon2) + " ;" +
                        r.comment);
    }
}

// The segments of the GEO lines with an end in the selection box.
void geography(std::vector<std::string>& lines, const std::vector<t_geo>& geo_lines,
               const GeoBox& box) {
    for (const t_geo& g : geo_lines) {
        for (size_t j = 0; j + 1 < g.points.size(); ++j) {
            const geo_point& a = g.points[j];
            const geo_point& b = g.points[j + 1];
            if (!geo_written(box, g, j)) continue;
            std::string line;
            line.reserve(60 + g.name.size());
            append_position(line, a.latitude, a.longitude);
            line += ' ';
            append_position(line, b.latitude, b.longitude);
            line += ' ';
            line += g.name;
            lines.push_back(std::move(line));
        }
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
    if (client) colour_defines(lines, nav, frame.box, format.details);
    separators(lines, 4);
    info(lines, frame, identity);
    section(lines, "[VOR]");
    navaids(lines, nav.vors, 4);
    section(lines, "[NDB]");
    navaids(lines, nav.ndbs, 5);
    section(lines, "[FIXES]");
    fixes(lines, nav.waypoints);
    section(lines, "[AIRPORT]");
    airports(lines, nav.airports, client);
    section(lines, "[RUNWAY]");
    runways(lines, nav, client);
    section(lines, "[SID]");
    procedures(lines, nav.sids);
    section(lines, "[STAR]");
    procedures(lines, nav.stars);
    if (client) {
        section(lines, "[LOW AIRWAY]");
        airways(lines, nav.airways, AirwayLevel::low);
    }
    section(lines, "[HIGH AIRWAY]");
    airways(lines, nav.airways, client ? AirwayLevel::high : AirwayLevel::unknown);
    section(lines, "[GEO]");
    geography(lines, nav.geo_lines, frame.box);
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
