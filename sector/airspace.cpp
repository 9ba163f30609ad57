#include "sector/airspace.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "core/outline.h"
#include "core/outline_shape.h"
#include "sector/border_lines.h"
#include "sector/coord.h"

namespace karvel {

namespace {

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

bool listed(const std::string& kind) {
    return std::any_of(kSectorKinds.begin(), kSectorKinds.end(),
                       [&](const char* k) { return kind == k; });
}

// One ring that becomes a sector.
struct Sector {
    const Outline* outline = nullptr;
    size_t ring = 0;
    Outline shape;  // the ring alone, for its area and what it holds
    std::string kind;
    std::string name;
    long floor = 0, ceiling = kSectorTopFeet;
    double area = 0;
    std::vector<std::string> owners;
    std::vector<const Airport*> departures;  // the airports it holds from the surface
    std::vector<BorderStep> border;          // lines of all sources, numbered together
    const OutlineCircle* circle = nullptr;
};

// A limit in whole feet; `fallback` where the source gives none, nothing
// where its text cannot be read.
std::optional<long> level(const std::string& text, long fallback) {
    if (trimmed(text).empty()) return fallback;
    const double feet = limit_feet(text);
    if (feet < 0) return std::nullopt;
    if (feet >= kSectorTopFeet) return kSectorTopFeet;
    return std::lround(feet);
}

// Why a ring cannot close a sector; "" when it can.
std::string fault(const Outline& o, size_t r, bool circle) {
    const t_point& ring = o.rings[r];
    if (ring.size() < 3) return w1252("contour de moins de 3 points");
    if (std::find(o.open_rings.begin(), o.open_rings.end(), r) != o.open_rings.end())
        return w1252("contour ouvert (son dernier point n'est pas le premier)");
    if (!circle && ring_crosses_itself(ring)) return w1252("contour qui se croise");
    return "";
}

// The ring lies inside another ring of its outline: a hole.
bool hole(const Outline& o, size_t r) {
    if (o.rings[r].empty()) return false;
    for (size_t i = 0; i < o.rings.size(); ++i) {
        if (i == r || o.rings[i].size() < 3) continue;
        Outline other;
        other.rings = {o.rings[i]};
        if (outline_holds(other, o.rings[r].front())) return true;
    }
    return false;
}

// The airport's longest runway, in nautical miles: how large it is.
std::map<std::string, long double> runway_lengths(const NavTables& nav) {
    std::map<std::string, long double> longest;
    for (const RUNWAY& r : nav.runways) {
        if (!r.paired()) continue;
        long double& l = longest[r.airport_id];
        l = std::max(l, great_circle_nm(r.lat1, r.lon1, r.lat2, r.lon2));
    }
    return longest;
}

class Owners {
  public:
    Owners(const NavTables& nav, const std::vector<Position>& positions)
        : nav_(nav), length_(runway_lengths(nav)) {
        for (const Position& p : positions) by_name_.emplace(p.name, &p);
        for (const Position& p : positions) {
            if (!p.fir) continue;
            centres_.push_back({&p, !parent(p.prefix)});
        }
    }

    // The centre of the FIR that "LFFF-AOML", a sector of it, is named after.
    const Position* parent(const std::string& fir) const {
        const size_t dash = fir.find('-');
        return dash == std::string::npos || dash == 0 ? nullptr
                                                      : named(fir.substr(0, dash) + "_CTR");
    }

    // The airports the sector holds, largest first.
    std::vector<const Airport*> airports(const Sector& s) const {
        std::vector<const Airport*> in;
        const GeoBox box = rings_box(s.shape.rings);
        for (const Airport& a : nav_.airports)
            if (box.contains({a.latitude, a.longitude}) &&
                outline_holds(s.shape, {a.latitude, a.longitude}))
                in.push_back(&a);
        std::stable_sort(in.begin(), in.end(),
                         [&](const Airport* a, const Airport* b) { return length(a) > length(b); });
        return in;
    }

    const Position* named(const std::string& name) const {
        const auto it = by_name_.find(name);
        return it == by_name_.end() ? nullptr : it->second;
    }

    // The centre of the FIR holding the point: a whole FIR rather than a
    // sector of one and, where outlines overlap, the one whose middle is
    // nearest.
    const Position* centre_at(geo_point p) const {
        const Position* best = nullptr;
        bool best_whole = false;
        long double best_nm = 0;
        for (const Centre& c : centres_) {
            if (best && best_whole && !c.whole) continue;
            const geo_point m = c.position->at;
            const long double nm =
                great_circle_nm(p.latitude, p.longitude, m.latitude, m.longitude);
            if ((!best || c.whole > best_whole || nm < best_nm) &&
                c.position->fir->box.contains(p) && outline_holds(*c.position->fir, p)) {
                best = c.position;
                best_whole = c.whole;
                best_nm = nm;
            }
        }
        return best;
    }

    std::vector<std::string> of(const Sector& s, const std::vector<const Airport*>& held) const {
        std::vector<const Position*> chain;
        const auto code = [](const Airport* a) { return field_text(a->icao); };
        const auto inside = point_inside(s.shape);
        std::optional<geo_point> at = inside;
        if (s.kind == "CTR" || s.kind == "ATZ") {
            if (!held.empty()) {
                chain.push_back(named(code(held.front()) + "_TWR"));
                chain.push_back(named(code(held.front()) + "_APP"));
                at = geo_point{held.front()->latitude, held.front()->longitude};
            }
        } else if (s.kind == "TMA" || s.kind == "CTA") {
            for (const Airport* a : held)
                if (const Position* app = named(code(a) + "_APP")) {
                    chain.push_back(app);
                    break;
                }
        } else {
            const std::string code = field_text(s.outline->name);
            chain.push_back(named(code + "_CTR"));
            chain.push_back(parent(code));
        }
        if (at) chain.push_back(centre_at(*at));
        std::vector<std::string> ids;
        for (const Position* p : chain)
            if (p && std::find(ids.begin(), ids.end(), p->id) == ids.end()) ids.push_back(p->id);
        return ids;
    }

  private:
    long double length(const Airport* a) const {
        const auto it = length_.find(a->id);
        return it == length_.end() ? 0 : it->second;
    }

    const NavTables& nav_;
    std::map<std::string, long double> length_;
    std::map<std::string, const Position*> by_name_;
    struct Centre {
        const Position* position;
        bool whole;  // a FIR, not a sector of one
    };
    std::vector<Centre> centres_;
};

std::string radius_text(double nm) {
    std::string t = format_fixed(nm, 3);
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
    return t;
}

std::string coord(const geo_point& p) {
    const CoordText c = format_coord(p);
    return c.latitude + ":" + c.longitude;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += ":" + p;
    return out;
}

// The sectors the selected outlines of `kinds` make, named, in the
// outlines' order; the outlines left out told in `out`.
std::vector<Sector> take_sectors(const NavTables& nav, const std::vector<std::string>& kinds,
                                 AirspaceSection& out) {
    std::vector<Sector> sectors;
    std::set<std::string> names;
    for (const Outline& o : nav.outlines) {
        const std::string kind = o.selected ? sector_kind(o) : "";
        if (kind.empty() ||
            (!kinds.empty() && std::find(kinds.begin(), kinds.end(), kind) == kinds.end()))
            continue;
        const std::string name = field_text(o.name).empty() ? kind : field_text(o.name);
        const auto floor = level(o.lower, upper_ascii(o.kind) == "HIGH" ? 18000 : 0);
        const auto ceiling = level(o.upper, upper_ascii(o.kind) == "LOW" ? 18000 : kSectorTopFeet);
        if (!floor || !ceiling) {
            const std::string told = name + w1252(" : limite illisible \"") +
                                     field_text(floor ? o.upper : o.lower) +
                                     w1252("\", pas de secteur");
            out.lines.push_back("; " + told);
            out.warnings.push_back(told);
            continue;
        }
        std::vector<Sector> rings;
        std::string why;
        for (size_t r = 0; r < o.rings.size() && why.empty(); ++r) {
            const OutlineCircle* circle = nullptr;
            for (const OutlineCircle& c : o.circles)
                if (c.ring == r) circle = &c;
            why = fault(o, r, circle != nullptr);
            if (!why.empty() || (o.rings.size() > 1 && hole(o, r))) continue;
            Sector s;
            s.outline = &o;
            s.ring = r;
            s.shape.rings = {o.rings[r]};
            s.kind = kind;
            s.floor = *floor;
            s.ceiling = *ceiling;
            s.area = outline_area_nm2(s.shape);
            s.circle = circle;
            rings.push_back(std::move(s));
        }
        if (!why.empty()) {
            out.warnings.push_back(name + " : " + why + w1252(", pas de secteur"));
            continue;
        }
        // Names unique: a centre's strata by their level ("ZNY LOW"), others
        // numbered.
        const std::string stratum = upper_ascii(trimmed(o.kind));
        const std::string base =
            stratum == "HIGH" || stratum == "LOW" ? name + " " + stratum : name;
        for (size_t i = 0; i < rings.size(); ++i) {
            const std::string part = rings.size() > 1 ? " " + std::to_string(i + 1) : "";
            std::string n = base + part;
            for (int k = 2; !names.insert(n).second; ++k)
                n = base + part + " (" + std::to_string(k) + ")";
            rings[i].name = n;
            sectors.push_back(std::move(rings[i]));
        }
    }

    return sectors;
}

// The sectors some position owns, with their owners and the airports they
// hold from the surface; the others told in `out`.
std::vector<Sector> owned_sectors(std::vector<Sector>& sectors, const Owners& owners,
                                  AirspaceSection& out) {
    std::vector<Sector> owned;
    for (size_t i = 0; i < sectors.size(); ++i) {
        Sector& s = sectors[i];
        const auto airports = owners.airports(s);
        s.owners = owners.of(s, airports);
        if (s.owners.empty()) {
            out.warnings.push_back(s.name +
                                   w1252(" : aucune position pour le tenir, pas de secteur"));
            continue;
        }
        if (s.floor == 0) s.departures = airports;
        owned.push_back(std::move(s));
    }

    return owned;
}

// The lines of the borders: a circle one line (equal circles one), the rings
// of one source cut into the stretches they share, each stretch in pieces
// either side of 180 degrees. `circles` holds the circle of a circle's line.
struct Lines {
    std::vector<t_point> points;
    std::vector<const OutlineCircle*> circles;
};

Lines lay_borders(std::vector<Sector>& owned) {
    Lines out;
    std::vector<t_point>& lines = out.points;
    std::vector<const OutlineCircle*>& circles = out.circles;
    std::map<std::string, std::vector<size_t>> by_source;
    std::map<std::tuple<double, double, double>, size_t> circle_line;
    for (size_t i = 0; i < owned.size(); ++i) {
        Sector& s = owned[i];
        if (s.circle) {
            const auto key = std::make_tuple(s.circle->centre.latitude, s.circle->centre.longitude,
                                             s.circle->radius_nm);
            const auto [it, added] = circle_line.emplace(key, lines.size());
            if (added) {
                lines.emplace_back();
                circles.push_back(s.circle);
            }
            s.border = {{it->second, false}};
        } else {
            by_source[s.outline->source].push_back(i);
        }
    }
    for (const auto& [source, members] : by_source) {
        std::vector<const t_point*> rings;
        for (const size_t i : members) rings.push_back(&owned[i].shape.rings[0]);
        const BorderLines shared = border_lines(rings);
        std::vector<std::vector<size_t>> pieces;  // each shared line's pieces either side of 180
        for (const t_point& l : shared.lines) {
            pieces.emplace_back();
            for (t_point& p : split_at_antimeridian(l)) {
                pieces.back().push_back(lines.size());
                lines.push_back(std::move(p));
                circles.push_back(nullptr);
            }
        }
        for (size_t m = 0; m < members.size(); ++m)
            for (const BorderStep& step : shared.borders[m]) {
                std::vector<size_t> p = pieces[step.line];
                if (step.reversed) std::reverse(p.begin(), p.end());
                for (const size_t l : p) owned[members[m]].border.push_back({l, step.reversed});
            }
    }

    return out;
}

// The lines, each named after the first sector it closes, then the
// sectors, smallest first.
void write_sectors(const std::vector<Sector>& owned, const Lines& borders, AirspaceSection& out) {
    const std::vector<t_point>& lines = borders.points;
    const std::vector<const OutlineCircle*>& circles = borders.circles;
    std::vector<size_t> order(owned.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return owned[a].area < owned[b].area; });
    std::vector<std::string> line_names(lines.size());
    std::vector<size_t> line_order;
    for (const size_t i : order) {
        size_t k = 0;
        for (const BorderStep& step : owned[i].border)
            if (line_names[step.line].empty()) {
                line_names[step.line] = owned[i].name + " " + std::to_string(++k);
                line_order.push_back(step.line);
            }
    }
    for (const size_t l : line_order) {
        if (const OutlineCircle* c = circles[l]) {
            out.lines.push_back("CIRCLE_SECTORLINE:" + line_names[l] + ":" + coord(c->centre) +
                                ":" + radius_text(c->radius_nm));
            continue;
        }
        out.lines.push_back("SECTORLINE:" + line_names[l]);
        for (const geo_point& p : lines[l]) out.lines.push_back("COORD:" + coord(p));
    }
    for (const size_t i : order) {
        const Sector& s = owned[i];
        out.lines.push_back("");
        out.lines.push_back("SECTOR:" + s.name + ":" + std::to_string(s.floor) + ":" +
                            std::to_string(s.ceiling));
        out.lines.push_back("OWNER" + joined(s.owners));
        std::vector<std::string> border;
        for (const BorderStep& step : s.border) border.push_back(line_names[step.line]);
        out.lines.push_back("BORDER" + joined(border));
        std::vector<std::string> codes;
        for (const Airport* a : s.departures)
            if (!field_text(a->icao).empty()) codes.push_back(field_text(a->icao));
        if (!codes.empty()) {
            out.lines.push_back("DEPAPT" + joined(codes));
            out.lines.push_back("ARRAPT" + joined(codes));
        }
    }
}

}  // namespace

std::string sector_kind(const Outline& o) {
    const std::string kind = upper_ascii(trimmed(o.kind));
    if (listed(kind)) return kind;
    for (const char* strata : {"HIGH", "LOW", "BDRY", "FIR ONLY", "UTA", "ARTCC"})
        if (kind == strata) return "FIR";
    if (kind.size() != 1 || kind[0] < 'A' || kind[0] > 'E') return "";
    std::istringstream words(upper_ascii(o.name));
    for (std::string w; words >> w;)
        if (listed(w)) return w;
    return "CTA";
}

AirspaceSection airspace_section(const NavTables& nav, const std::vector<Position>& positions,
                                 const std::vector<std::string>& kinds) {
    AirspaceSection out;
    out.lines.push_back("[AIRSPACE]");
    std::vector<Sector> sectors = take_sectors(nav, kinds, out);
    std::vector<Sector> owned = owned_sectors(sectors, Owners(nav, positions), out);
    const Lines lines = lay_borders(owned);
    // A ring whose points come to fewer than three once those within 1e-6
    // degree are one has no border.
    owned.erase(
        std::remove_if(owned.begin(), owned.end(),
                       [&](const Sector& s) {
                           if (!s.border.empty()) return false;
                           out.warnings.push_back(
                               s.name + w1252(" : contour de moins de 3 points, pas de secteur"));
                           return true;
                       }),
        owned.end());

    write_sectors(owned, lines, out);
    return out;
}

}  // namespace karvel
