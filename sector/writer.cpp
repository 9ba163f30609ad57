#include "sector/writer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/colours.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_output.h"
#include "core/geometry.h"
#include "core/ini_file.h"
#include "core/numtext.h"
#include "sector/client_files.h"
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

void navaids(std::vector<std::string>& lines, const std::vector<VOR>& table, size_t width) {
    for (const VOR& v : table)
        lines.push_back(fill(v.ident, width) + " " + fill(v.freq, 7) + " " +
                        position(v.latitude, v.longitude) + " ;" + v.desc);
}

// SIDs and STARs: each procedure's segments grouped by transition, the label
// on the first written segment of each. The segment that joins the end of
// one transition to the start of the next is taken out again.
void procedures(std::vector<std::string>& lines, const std::vector<ROUTE>& table) {
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

// Airways: all their segments, or those of one level ('L' low, 'H' high; a
// segment of both levels goes under each, one of no known level is high).
void airways(std::vector<std::string>& lines, const std::vector<ROUTE>& table, char level) {
    for (const ROUTE& a : table) {
        if (!a.selected) continue;
        bool first = true;
        for (const LINE& l : a.lines) {
            const char own = l.level ? l.level : 'H';
            if (level && own != level && own != 'B') continue;
            const std::string label =
                first ? fill(a.name, kLabelWidth) : std::string(kLabelWidth, ' ');
            first = false;
            lines.push_back(segment(label, l.lat1, l.lon1, l.lat2, l.lon2));
        }
    }
}

// A heading on three digits; north of a runway end is 360 (0 says "no
// extended centre line"), "000" where the end shows none.
std::string three_digit_heading(const std::string& heading, bool shown) {
    int32_t h = 0;
    if (!shown || !try_str_to_int(heading, h)) return "000";
    if (h % 360 == 0) h = 360;
    char text[16];
    std::snprintf(text, sizeof text, "%03d", static_cast<int>(h));
    return text;
}

bool in_box(const NavState& nav, const geo_point& p) {
    return nav.box_lat_min <= p.latitude && p.latitude <= nav.box_lat_max &&
           lon_within(p.longitude, nav.box_lon_min, nav.box_lon_max);
}

// The GEO segment from point j to point j + 1 goes into the file.
bool geo_written(const NavState& nav, const t_geo& g, size_t j) {
    return in_box(nav, g.points[j]) || in_box(nav, g.points[j + 1]);
}

// "#define NAME VALUE" for each colour name the [GEO] lines use, the value
// the colour's blue, green, red bytes as one decimal number, from the GEO
// kinds' display colours (the map's cyan where none is set).
void colour_defines(std::vector<std::string>& lines, const NavState& nav,
                    const std::vector<t_define>& details) {
    std::vector<std::string> names;
    for (const t_geo& g : nav.geo_lines) {
        if (std::find(names.begin(), names.end(), g.name) != names.end()) continue;
        for (size_t j = 0; j + 1 < g.points.size(); ++j)
            if (geo_written(nav, g, j)) {
                names.push_back(g.name);
                break;
            }
    }
    for (const std::string& name : names) {
        TColor colour = 0x00FFFF00;  // cyan
        for (const t_define& d : details) {
            TColor c = 0;
            if (d.key == name && try_parse_colour(d.value, c)) colour = c;
        }
        lines.push_back("#define " + name + " " +
                        std::to_string(static_cast<uint32_t>(colour) & 0xFFFFFFu));
    }
}

}  // namespace

int missing_identity(const SectorIdentity& identity) {
    if (identity.name.empty()) return 0;
    if (identity.callsign.empty()) return 1;
    if (identity.icao.empty()) return 2;
    return -1;
}

void write_sector(std::vector<std::string>& lines, const NavState& nav, PlaneScale scale,
                  const SectorIdentity& identity, const SectorFormat& format) {
    const bool client = format.client;
    lines.push_back(w1252("; Ce fichier secteur a été créer par le logiciel ") +
                    nav.version_caption);
    if (client) colour_defines(lines, nav, format.details);
    separators(lines, 4);

    lines.emplace_back("[INFO]");
    lines.push_back(identity.name);
    lines.push_back(identity.callsign);
    lines.push_back(identity.icao);
    const CoordText centre = format_coord({nav.centre_lat, nav.centre_lon});
    lines.push_back(centre.latitude);
    lines.push_back(centre.longitude);
    lines.push_back(format_fixed(scale.nm_per_deg_lat, 2, 4));
    lines.push_back(format_fixed(scale.nm_per_deg_lon, 2, 4));
    lines.emplace_back("0");
    lines.emplace_back("1");

    separators(lines, 3);
    lines.emplace_back("[VOR]");
    navaids(lines, nav.vors, 4);

    separators(lines, 3);
    lines.emplace_back("[NDB]");
    navaids(lines, nav.ndbs, 5);

    separators(lines, 3);
    lines.emplace_back("[FIXES]");
    for (const FIXE& w : nav.waypoints)
        if (w.selected)
            lines.push_back(fill(w.ident, 5) + " " + position(w.latitude, w.longitude) + " ;" +
                            w.comment);

    separators(lines, 3);
    lines.emplace_back("[AIRPORT]");
    for (const Airport& a : nav.airports) {
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

    separators(lines, 3);
    lines.emplace_back("[RUNWAY]");
    for (const RUNWAY& r : nav.runways) {
        // A runway whose other end is unknown has no line to draw.
        if (!r.paired()) continue;
        // Only an end with an ILS shows its heading.
        const std::string h1 = r.ils1 ? r.heading1 : "000";
        const std::string h2 = r.ils2 ? r.heading2 : "000";
        if (client) {
            const int a = nav.airports.ids.find(r.airport_id);
            const std::string icao = a >= 0 ? nav.airports[static_cast<size_t>(a)].icao : "";
            lines.push_back(fill(r.ident1, 3) + " " + fill(r.ident2, 3) + " " +
                            three_digit_heading(h1, r.ils1) + " " +
                            three_digit_heading(h2, r.ils2) + " " + position(r.lat1, r.lon1) + " " +
                            position(r.lat2, r.lon2) + " " + icao + " " + r.airport_name +
                            (r.comment.empty() ? "" : " ;" + r.comment));
            continue;
        }
        lines.push_back(fill(r.ident1, 3) + " " + fill(r.ident2, 3) + " " + fill(h1, 3) + " " +
                        fill(h2, 3) + " " + position(r.lat1, r.lon1) + " " +
                        position(r.lat2, r.lon2) + " ;" + r.comment);
    }

    separators(lines, 3);
    lines.emplace_back("[SID]");
    procedures(lines, nav.sids);

    separators(lines, 3);
    lines.emplace_back("[STAR]");
    procedures(lines, nav.stars);

    if (client) {
        separators(lines, 3);
        lines.emplace_back("[LOW AIRWAY]");
        airways(lines, nav.airways, 'L');
    }
    separators(lines, 3);
    lines.emplace_back("[HIGH AIRWAY]");
    airways(lines, nav.airways, client ? 'H' : 0);

    separators(lines, 3);
    lines.emplace_back("[GEO]");
    for (const t_geo& g : nav.geo_lines) {
        for (size_t j = 0; j + 1 < g.points.size(); ++j) {
            const geo_point& a = g.points[j];
            const geo_point& b = g.points[j + 1];
            if (!geo_written(nav, g, j)) continue;
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

void save_sector_file(const std::string& path, const NavState& nav, PlaneScale scale,
                      const SectorIdentity& identity, const SectorFormat& format) {
    std::vector<std::string> lines;
    write_sector(lines, nav, scale, identity, format);
    OutputFiles files;
    files.add(path, sector_bytes(lines));
    if (format.client) {
        // The SIDs and STARs beside it, for the radar client.
        std::filesystem::path ese(fs_path(path));
        ese.replace_extension(".ese");
        files.add(ese.string(), sector_bytes(ese_lines(nav, format.point_idents)));
    }
    files.commit();
}

bool save_sector(const NavState& nav, PlaneScale scale, const SectorIdentity& identity,
                 Dialogs& dialogs, const SectorFormat& format) {
    const std::string folder = nav.program_dir + "/secteurs";
    std::error_code ec;
    std::filesystem::create_directories(fs_path(folder), ec);  // a failure shows at the write
    const auto chosen = dialogs.save_file("sct", folder);
    if (!chosen) return false;
    save_sector_file(*chosen, nav, scale, identity, format);
    return true;
}

}  // namespace karvel
