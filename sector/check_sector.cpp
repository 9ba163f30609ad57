// The rules of a .sct or .sct2 file, from the public descriptions of the
// format: its sections, [INFO], the colours, the points each section
// defines and the lines drawn between them.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "sector/check.h"
#include "sector/check_text.h"
#include "sector/sections.h"
#include "sector/writer.h"

namespace karvel {

namespace {

using check::Line;
using check::Reporter;

const std::set<std::string> kDrawnSections = {"[ARTCC]", "[ARTCC HIGH]", "[ARTCC LOW]",   "[SID]",
                                              "[STAR]",  "[LOW AIRWAY]", "[HIGH AIRWAY]", "[GEO]"};

// A colour's value as readers take it: a decimal number of the blue, green
// and red bytes (0 to 16777215), "#rrggbb" or "r,g,b".
bool colour_value(const std::string& v) {
    if (v.size() == 7 && v[0] == '#')
        return v.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
    if (std::count(v.begin(), v.end(), ',') == 2) {
        size_t from = 0;
        for (int i = 0; i < 3; ++i) {
            const size_t comma = std::min(v.find(',', from), v.size());
            const auto c = check::number(std::string_view(v).substr(from, comma - from));
            if (!c || *c < 0 || *c > 255 || *c != std::floor(*c)) return false;
            from = comma + 1;
        }
        return true;
    }
    const auto n = check::number(v);
    return n && *n >= 0 && *n <= 16777215 && *n == std::floor(*n);
}

std::string on_line(size_t line) {
    return " (ligne " + std::to_string(line) + ")";
}

struct SectorCheck {
    const Reporter& report;
    const CheckOptions& options;
    SectorDefinitions defs;
    std::map<std::string, size_t> colours;
    std::unordered_map<std::string, std::vector<size_t>> by_name;  // "[SECTION] NAME": points

    void sections(const std::vector<Line>& lines);
    void colour(const Line& l);
    void info(const std::vector<Line>& lines);
    void point(const Line& l);
    void runway(const Line& l);
    std::optional<geo_point> position(const Line& l, const std::string& lat,
                                      const std::string& lon);
    void drawn_line(const Line& l);
    void region(const Line& l);
    void label(const Line& l);
    void used_colour(const Line& l, const std::string& name);
};

void SectorCheck::sections(const std::vector<Line>& lines) {
    std::map<std::string, size_t> seen;
    const Line* first = nullptr;  // the first known section's header
    for (const Line& l : lines) {
        if (l.text[l.text.find_first_not_of(" \t")] != '[') {
            if (l.section.empty() && l.text.rfind("#define", 0) != 0)
                report.warning(l.number, "section", w1252("texte avant la première section"));
            continue;
        }
        if (!kSectorSections.count(l.section)) {
            report.warning(l.number, "section", w1252("section inconnue : ") + l.section);
            continue;
        }
        if (!first) first = &l;
        if (const auto [it, added] = seen.emplace(l.section, l.number); !added)
            report.warning(l.number, "section",
                           l.section + w1252(" une seconde fois") + on_line(it->second));
        else if (l.section == "[INFO]" && first != &l)
            report.warning(l.number, "section",
                           w1252("[INFO] après ") + first->section + on_line(first->number) +
                               w1252(" : les lecteurs l'attendent en premier"));
    }
    if (!seen.count("[INFO]")) report.error(0, "info", w1252("pas de section [INFO]"));
}

void SectorCheck::colour(const Line& l) {
    const auto w = check::words(l.text);
    if (w.size() != 3) {
        report.error(l.number, "couleur", w1252("#define attend un nom et une valeur"));
        return;
    }
    if (!colour_value(w[2]))
        report.error(l.number, "couleur",
                     w1252("couleur illisible : ") + w[2] +
                         w1252(" (un entier de 0 à 16777215, #rrggbb ou r,g,b)"));
    if (const auto [it, added] = colours.emplace(w[1], l.number); !added)
        report.error(l.number, "double",
                     w1252("couleur définie deux fois : ") + w[1] + on_line(it->second));
}

// Name, callsign, airport, latitude, longitude, nautical miles a degree of
// latitude and of longitude, magnetic variation, and an optional scale.
void SectorCheck::info(const std::vector<Line>& lines) {
    std::vector<const Line*> in;
    for (const Line& l : lines)
        if (l.section == "[INFO]" && l.text.find('[') != 0) in.push_back(&l);
    const size_t header = [&] {
        for (const Line& l : lines)
            if (l.section == "[INFO]") return l.number;
        return size_t{0};
    }();
    if (!header) return;
    if (in.size() < 8) {
        report.error(
            header, "info",
            w1252("[INFO] incomplet : ") + std::to_string(in.size()) +
                w1252(" lignes sur 8 (nom, indicatif, aéroport, latitude, longitude, milles "
                      "par degré de latitude et de longitude, déclinaison)"));
        return;
    }
    const auto lat = check::latitude(check::words(in[3]->text).at(0));
    const auto lon = check::longitude(check::words(in[4]->text).at(0));
    if (!lat) report.error(in[3]->number, "info", w1252("latitude du centre illisible"));
    if (!lon) report.error(in[4]->number, "info", w1252("longitude du centre illisible"));
    const auto per_lat = check::number(check::words(in[5]->text).at(0));
    const auto per_lon = check::number(check::words(in[6]->text).at(0));
    const auto variation = check::number(check::words(in[7]->text).at(0));
    if (!per_lat || std::fabs(*per_lat - 60) > 1)
        report.error(in[5]->number, "info", w1252("milles par degré de latitude : 60 attendu"));
    if (!per_lon || *per_lon <= 0 || *per_lon > 60)
        report.error(in[6]->number, "info", w1252("milles par degré de longitude hors de ]0, 60]"));
    else if (lat && std::fabs(*per_lon - 60 * std::cos(static_cast<double>(radians(*lat)))) > 6)
        report.warning(in[6]->number, "info",
                       w1252("milles par degré de longitude loin de 60 cos(latitude) : ") +
                           format_fixed(60 * std::cos(static_cast<double>(radians(*lat))), 1));
    if (!variation || std::fabs(*variation) > 180)
        report.error(in[7]->number, "info", w1252("déclinaison illisible"));
    if (in.size() > 8 && !check::number(check::words(in[8]->text).at(0)))
        report.error(in[8]->number, "info", w1252("échelle illisible"));
}

std::optional<geo_point> SectorCheck::position(const Line& l, const std::string& lat,
                                               const std::string& lon) {
    return check::point_at(report, l.number, defs, lat, lon, w1252("point non défini : "), ' ');
}

// "NAME FREQ LAT LON" ([VOR], [NDB], [AIRPORT] with its class after), "NAME
// LAT LON" ([FIXES]). A name twice in a section more than 1 nm apart names
// two places (a warning, and an error where a line names it: it goes to
// either); the same point written again is a warning; within 1 nm, the
// parts of one facility (an ILS and its DME) are none.
void SectorCheck::point(const Line& l) {
    const auto w = check::words(l.text);
    const bool fix = l.section == "[FIXES]";
    const size_t need = fix ? 3 : 4;
    if (w.size() < need) {
        report.error(l.number, "champs", l.section + w1252(" : ligne incomplète"));
        return;
    }
    const std::string freq = fix ? "" : w[1];
    if (!fix && !check::number(freq))
        report.error(l.number, "frequence", w1252("fréquence illisible : ") + freq);
    const auto lat = check::latitude(w[need - 2]), lon = check::longitude(w[need - 1]);
    if (!lat || !lon) {
        report.error(l.number, "coordonnee",
                     w1252("coordonnée invalide : ") + w[need - 2] + " " + w[need - 1]);
        return;
    }
    const geo_point at{*lat, *lon};
    auto& same_name = by_name[l.section + " " + w[0]];
    for (const size_t i : same_name) {
        const auto& p = defs.points[i];
        const auto nm = great_circle_nm(p.at.latitude, p.at.longitude, at.latitude, at.longitude);
        if (nm > 1) {
            report.warning(l.number, "double",
                           w1252("nom de deux points, à ") + format_fixed(nm, 1) + " NM : " + w[0] +
                               on_line(p.line));
            defs.ambiguous.insert(w[0]);
        } else if (nm < 0.001 && p.frequency == freq)
            report.warning(l.number, "double",
                           w1252("écrit deux fois : ") + w[0] + on_line(p.line));
        break;
    }
    same_name.push_back(defs.points.size());
    defs.points.push_back({w[0], l.section, freq, at, l.number});
    defs.named.emplace(w[0], at);
}

// Degrees between two headings, 0 to 180.
double headings_apart(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

std::string heading_digits(double h) {
    std::string t = std::to_string(static_cast<int>(std::lround(h)) % 360);
    if (t == "0") t = "360";
    return std::string(3 - std::min<size_t>(3, t.size()), '0') + t;
}

// "ID1 ID2 HDG1 HDG2 LAT1 LON1 LAT2 LON2 [ICAO [NAME]]": two ends apart,
// each heading its end's magnetic bearing to the other (true told apart).
void SectorCheck::runway(const Line& l) {
    const auto w = check::words(l.text);
    if (w.size() < 8) {
        report.error(l.number, "champs", w1252("[RUNWAY] : ligne incomplète"));
        return;
    }
    const auto h1 = check::number(w[2]), h2 = check::number(w[3]);
    const auto e1 = position(l, w[4], w[5]), e2 = position(l, w[6], w[7]);
    if (!h1 || !h2 || *h1 < 0 || *h2 < 0 || *h1 > 360 || *h2 > 360) {
        report.error(l.number, "piste", w1252("cap de piste illisible : ") + w[2] + " " + w[3]);
        return;
    }
    if (!e1 || !e2) return;
    if (e1->latitude == e2->latitude && e1->longitude == e2->longitude) {
        report.error(l.number, "piste", w1252("piste de longueur nulle : ") + w[0] + "/" + w[1]);
        return;
    }
    defs.runways.push_back({w.size() > 8 ? w[8] : "", w[0], w[1], static_cast<int>(*h1),
                            static_cast<int>(*h2), *e1, *e2, l.number});
    const geo_point ends[2][2] = {{*e1, *e2}, {*e2, *e1}};
    const double headings[2] = {*h1, *h2};
    for (int i = 0; i < 2; ++i) {
        const geo_point a = ends[i][0], b = ends[i][1];
        if (headings[i] == 0) continue;  // 000: no centreline drawn, no heading to check
        const double bearing =
            static_cast<double>(initial_bearing(a.latitude, a.longitude, b.latitude, b.longitude));
        if (!options.magnetic) {
            if (headings_apart(headings[i], bearing) > 30)
                report.warning(l.number, "cap",
                               w[i] + w1252(" : cap ") + w[2 + i] +
                                   w1252(" à plus de 30° du relèvement vrai ") +
                                   heading_digits(bearing));
            continue;
        }
        const double magnetic =
            bearing - options.magnetic->declination(a.latitude, a.longitude, options.year);
        if (headings_apart(headings[i], magnetic) <= 2) continue;
        if (headings_apart(headings[i], bearing) <= 1)
            report.error(l.number, "cap",
                         w[i] + w1252(" : cap ") + w[2 + i] + w1252(" vrai, non magnétique (") +
                             heading_digits(magnetic) + ")");
        else
            report.error(l.number, "cap",
                         w[i] + w1252(" : cap ") + w[2 + i] +
                             w1252(" loin du relèvement magnétique ") + heading_digits(magnetic));
    }
}

void SectorCheck::used_colour(const Line& l, const std::string& name) {
    if (colours.count(name) || colour_value(name)) return;
    report.error(l.number, "couleur", w1252("couleur non définie : ") + name);
}

// "[NAME] LAT LON LAT LON [COLOUR]", a point given by its coordinates or by
// the name of a defined point twice.
void SectorCheck::drawn_line(const Line& l) {
    const auto w = check::words(l.text);
    size_t k = w.size();
    if (k >= 5 && !check::coordinate_like(w[k - 1]) && w[k - 1] != w[k - 2]) {
        used_colour(l, w[k - 1]);
        --k;
    }
    if (k < 4) {
        report.error(l.number, "champs", l.section + w1252(" : une ligne attend deux points"));
        return;
    }
    const auto a = position(l, w[k - 4], w[k - 3]), b = position(l, w[k - 2], w[k - 1]);
    if (!a || !b) return;
    if (std::fabs(a->longitude - b->longitude) > 180)
        report.error(l.number, "180", w1252("ligne à travers 180 degrés en un trait"));
    else if (a->latitude == b->latitude && a->longitude == b->longitude)
        report.warning(l.number, "longueur", w1252("ligne de longueur nulle"));
}

// "REGIONNAME NAME", then a polygon: "COLOUR LAT LON", then "LAT LON" lines.
void SectorCheck::region(const Line& l) {
    const auto w = check::words(l.text);
    if (w.empty() || upper_ascii(w[0]) == "REGIONNAME") return;
    const bool first = !check::coordinate_like(w[0]);
    if (w.size() != (first ? 3u : 2u)) {
        report.error(l.number, "champs", w1252("[REGIONS] : couleur et point, ou point, attendus"));
        return;
    }
    if (first) used_colour(l, w[0]);
    position(l, w[first ? 1 : 0], w[first ? 2 : 1]);
}

// "\"TEXT\" LAT LON COLOUR".
void SectorCheck::label(const Line& l) {
    const size_t open = l.text.find('"'), close = l.text.find('"', open + 1);
    const auto w = close == std::string::npos ? std::vector<std::string>{}
                                              : check::words(l.text.substr(close + 1));
    if (open != l.text.find_first_not_of(" \t") || w.size() != 3) {
        report.error(l.number, "champs", w1252("[LABELS] : \"texte\", point et couleur attendus"));
        return;
    }
    position(l, w[0], w[1]);
    used_colour(l, w[2]);
}

bool is_header(const Line& l) {
    return l.text[l.text.find_first_not_of(" \t")] == '[';
}

// The cycle a file's first lines name, as the client format writes it.
std::string file_cycle(const std::string& path, size_t& line) {
    std::ifstream f(fs_path(path), std::ios::binary);
    std::string text;
    const std::string head = kCycleComment;
    for (line = 1; line <= 5 && std::getline(f, text); ++line) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.rfind(head, 0) == 0) return text.substr(head.size());
    }
    line = 0;
    return "";
}

}  // namespace

SectorDefinitions check_sector_file(const std::string& path, const CheckOptions& options,
                                    std::vector<Finding>& out) {
    const std::vector<Line> lines = check::read_lines(path, ';', true, out);
    const Reporter report{path, out};
    SectorCheck c{report, options, {}, {}, {}};
    c.sections(lines);
    for (const Line& l : lines)
        if (l.text.rfind("#define", 0) == 0) c.colour(l);
    c.info(lines);
    // Points first: a line may name one defined further down.
    for (const Line& l : lines) {
        if (is_header(l)) continue;
        if (l.section == "[VOR]" || l.section == "[NDB]" || l.section == "[AIRPORT]" ||
            l.section == "[FIXES]")
            c.point(l);
    }
    for (const Line& l : lines) {
        if (is_header(l) || l.text.rfind("#define", 0) == 0) continue;
        if (l.section == "[RUNWAY]")
            c.runway(l);
        else if (kDrawnSections.count(l.section))
            c.drawn_line(l);
        else if (l.section == "[REGIONS]")
            c.region(l);
        else if (l.section == "[LABELS]")
            c.label(l);
    }
    // A runway line without its airport's code is that of the nearest
    // airport within 5 nm, looked for in the airports of its degree of
    // latitude and longitude and those around.
    std::map<std::pair<int, int>, std::vector<const SectorDefinitions::Point*>> cells;
    const auto cell = [](const geo_point& p) {
        return std::pair(static_cast<int>(std::floor(p.latitude)),
                         static_cast<int>(std::floor(p.longitude)));
    };
    for (const auto& p : c.defs.points)
        if (p.section == "[AIRPORT]") cells[cell(p.at)].push_back(&p);
    for (auto& r : c.defs.runways) {
        if (!r.airport.empty()) continue;
        long double best = 5;
        const auto [y, x] = cell(r.end1);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const auto it = cells.find({y + dy, x + dx});
                if (it == cells.end()) continue;
                for (const auto* p : it->second) {
                    const auto nm = great_circle_nm(p->at.latitude, p->at.longitude,
                                                    r.end1.latitude, r.end1.longitude);
                    if (nm < best) best = nm, r.airport = p->name;
                }
            }
    }
    c.defs.cycle = file_cycle(path, c.defs.cycle_line);
    return std::move(c.defs);
}

std::string finding_text(const Finding& f) {
    return f.file + ":" + std::to_string(f.line) + (f.error ? ": erreur: " : ": avertissement: ") +
           f.message + " [" + f.code + "]";
}

}  // namespace karvel
