// The rules of a companion file, from the public description of its
// sections: positions, procedures on the sector file's airports, runways
// and points, sectors closed by defined lines and owned by positions,
// smallest first.
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "sector/check.h"
#include "sector/check_text.h"
#include "sector/sections.h"

namespace karvel {

namespace {

using check::Line;
using check::Reporter;


struct EseLine {
    size_t line = 0;
    std::vector<geo_point> points;
    bool circle = false;
    double radius_nm = 0;
};

struct EseSector {
    std::string name;
    size_t line = 0;
    std::vector<std::string> border;
    size_t border_line = 0;
};

bool same_point(const geo_point& a, const geo_point& b) {
    const double d = std::fabs(a.longitude - b.longitude);
    return std::fabs(a.latitude - b.latitude) <= 1e-6 && (d <= 1e-6 || std::fabs(d - 360) <= 1e-6);
}

// The border's points in order round it; nothing when two lines do not
// meet or the last does not come back to the first.
std::optional<std::vector<geo_point>> border_chain(const std::vector<const EseLine*>& lines) {
    std::vector<geo_point> points = lines[0]->points;
    if (lines.size() > 1) {
        const auto& next = lines[1]->points;
        if (!same_point(points.back(), next.front()) && !same_point(points.back(), next.back()))
            std::reverse(points.begin(), points.end());
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        std::vector<geo_point> p = lines[i]->points;
        if (same_point(points.back(), p.back())) std::reverse(p.begin(), p.end());
        if (!same_point(points.back(), p.front())) return std::nullopt;
        points.insert(points.end(), p.begin() + 1, p.end());
    }
    if (!same_point(points.front(), points.back())) return std::nullopt;
    return points;
}

// Square nautical miles inside a closed chain, longitudes followed the
// short way round.
double chain_area_nm2(const std::vector<geo_point>& p) {
    std::vector<long double> x{p[0].longitude};
    for (size_t i = 1; i < p.size(); ++i) {
        long double v = p[i].longitude;
        while (v - x.back() > 180) v -= 360;
        while (v - x.back() < -180) v += 360;
        x.push_back(v);
    }
    long double twice = 0;
    for (size_t i = 0; i + 1 < p.size(); ++i)
        twice += x[i] * std::cos(radians(p[i].latitude)) * p[i + 1].latitude -
                 x[i + 1] * std::cos(radians(p[i + 1].latitude)) * p[i].latitude;
    return static_cast<double>(std::fabs(twice) / 2 * 3600);
}

struct CompanionCheck {
    const Reporter& report;
    const SectorDefinitions& sector;
    std::set<std::string> airports;
    std::map<std::string, size_t> position_ids;
    std::map<std::string, EseLine> lines;
    std::vector<EseSector> sectors;
    EseLine* current = nullptr;

    std::optional<geo_point> point(const Line& l, const std::string& lat, const std::string& lon);
    void position(const Line& l);
    void procedure(const Line& l);
    void airspace(const Line& l);
    void owners(const Line& l, const std::vector<std::string>& f, size_t from);
    void borders();
};

std::optional<geo_point> CompanionCheck::point(const Line& l, const std::string& lat,
                                               const std::string& lon) {
    return check::point_at(report, l.number, sector, lat, lon,
                           w1252("point non défini dans le fichier secteur : "), ':');
}

// "NAME:CALLSIGN:FREQ:ID:MIDDLE:PREFIX:SUFFIX:-:-:-:-[:LAT:LON...]".
void CompanionCheck::position(const Line& l) {
    const auto f = check::fields(l.text);
    if (f.size() < 11) {
        report.error(l.number, "champs", w1252("[POSITIONS] : 11 champs au moins attendus"));
        return;
    }
    const auto freq = check::number(f[2]);
    const bool placeholder = f[2] == "199.998";
    if (!freq || f[2].size() != 7 || f[2][3] != '.' ||
        (!placeholder && (*freq < 118 || *freq > 136.975)))
        report.error(
            l.number, "frequence",
            w1252("fréquence de position hors de 118.000 à 136.975 (ou 199.998) : ") + f[2]);
    if (const auto [it, added] = position_ids.emplace(f[3], l.number); !added)
        report.error(l.number, "double",
                     w1252("identifiant de position défini deux fois : ") + f[3] + " (ligne " +
                         std::to_string(it->second) + ")");
    for (size_t i = 11; i + 1 < f.size(); i += 2) point(l, f[i], f[i + 1]);
}

// "SID:ICAO:RUNWAY:NAME:ROUTE" or "STAR:...", on an airport and runway of
// the sector file, through its points.
void CompanionCheck::procedure(const Line& l) {
    const auto f = check::fields(l.text);
    if (f.size() < 5 || (f[0] != "SID" && f[0] != "STAR")) {
        report.error(l.number, "champs",
                     w1252("[SIDSSTARS] : SID ou STAR:aéroport:piste:nom:route attendu"));
        return;
    }
    if (!airports.count(f[1])) {
        report.error(l.number, "aeroport", w1252("aéroport absent du fichier secteur : ") + f[1]);
    } else {
        // "26" at an airport of 26L and 26R names both: the client offers
        // it on neither.
        bool runway = false;
        std::string parallels;
        for (const auto& r : sector.runways)
            for (const std::string& end : {r.id1, r.id2}) {
                if (r.airport != f[1]) continue;
                runway = runway || end == f[2];
                if (end.size() == f[2].size() + 1 && end.rfind(f[2], 0) == 0)
                    parallels += (parallels.empty() ? "" : ", ") + end;
            }
        if (!runway && !parallels.empty())
            report.warning(l.number, "piste",
                           f[0] + " " + f[3] + w1252(" : piste ") + f[2] + w1252(" ; à ") + f[1] +
                               w1252(" les pistes sont ") + parallels);
        else if (!runway)
            report.error(l.number, "piste",
                         f[0] + " " + f[3] + w1252(" : piste inconnue à ") + f[1] + " : " + f[2]);
    }
    for (const std::string& p : check::words(f[4])) {
        if (!sector.named.count(p))
            report.error(l.number, "point",
                         f[0] + " " + f[3] + w1252(" : point non défini : ") + p);
        else if (sector.ambiguous.count(p))
            report.error(l.number, "ambigu",
                         f[0] + " " + f[3] + w1252(" : point de deux endroits : ") + p);
    }
}

void CompanionCheck::owners(const Line& l, const std::vector<std::string>& f, size_t from) {
    for (size_t i = from; i < f.size(); ++i)
        if (!position_ids.count(f[i]))
            report.error(l.number, "proprietaire",
                         w1252("propriétaire qui n'est pas une position : ") + f[i]);
}

void CompanionCheck::airspace(const Line& l) {
    const auto f = check::fields(l.text);
    const std::string& key = f[0];
    if (key == "SECTORLINE" || key == "CIRCLE_SECTORLINE") {
        if (f.size() < 2 || (key[0] == 'C' && f.size() != 5 && f.size() != 4)) {
            report.error(l.number, "champs", key + w1252(" : champs manquants"));
            current = nullptr;
            return;
        }
        const auto [it, added] = lines.emplace(f[1], EseLine{l.number, {}, false, 0});
        if (!added)
            report.error(l.number, "double",
                         w1252("ligne de secteur définie deux fois : ") + f[1] + " (ligne " +
                             std::to_string(it->second.line) + ")");
        current = &it->second;
        if (key[0] == 'C') {
            const auto c = f.size() == 5 ? point(l, f[2], f[3]) : point(l, f[2], f[2]);
            const auto r = check::number(f.back());
            if (!r || *r <= 0)
                report.error(l.number, "champs", w1252("rayon illisible : ") + f.back());
            current->circle = true;
            current->radius_nm = r.value_or(0);
            if (c) current->points = {*c};
            current = nullptr;
        }
    } else if (key == "COORD") {
        if (!current || f.size() != 3) {
            report.error(l.number, "champs",
                         w1252("COORD hors d'une SECTORLINE ou sans ses deux champs"));
            return;
        }
        const auto p = point(l, f[1], f[2]);
        if (!p) return;
        if (!current->points.empty() &&
            std::fabs(current->points.back().longitude - p->longitude) > 180)
            report.error(l.number, "180", w1252("ligne de secteur à travers 180 degrés en un pas"));
        current->points.push_back(*p);
    } else if (key == "SECTOR") {
        current = nullptr;
        const auto floor = f.size() == 4 ? check::number(f[2]) : std::nullopt;
        const auto ceiling = f.size() == 4 ? check::number(f[3]) : std::nullopt;
        if (!floor || !ceiling || *floor >= *ceiling)
            report.error(l.number, "secteur",
                         w1252("SECTOR:nom:plancher:plafond attendu, plancher sous le plafond"));
        for (const EseSector& s : sectors)
            if (f.size() > 1 && s.name == f[1])
                report.error(l.number, "double", w1252("secteur défini deux fois : ") + f[1]);
        sectors.push_back({f.size() > 1 ? f[1] : "", l.number, {}, 0});
    } else if (key == "OWNER" || key == "ALTOWNER") {
        owners(l, f, key == "OWNER" ? 1 : 2);
    } else if (key == "BORDER" && !sectors.empty()) {
        sectors.back().border.assign(f.begin() + 1, f.end());
        sectors.back().border_line = l.number;
    } else if ((key == "DEPAPT" || key == "ARRAPT") && !sectors.empty()) {
        for (size_t i = 1; i < f.size(); ++i)
            if (!airports.count(f[i]))
                report.warning(l.number, "aeroport",
                               w1252("aéroport absent du fichier secteur : ") + f[i]);
    } else if (key != "DISPLAY" && key != "ACTIVE" && key != "DEPAPT" && key != "ARRAPT") {
        report.warning(l.number, "champs", w1252("ligne inconnue de [AIRSPACE] : ") + key);
    }
}

// Each border a closed chain of defined lines; sectors smallest first, the
// order in which the client looks for the one holding an aircraft.
void CompanionCheck::borders() {
    std::vector<std::pair<double, const EseSector*>> sized;
    for (const EseSector& s : sectors) {
        std::vector<const EseLine*> chained;
        bool known = !s.border.empty();
        for (const std::string& name : s.border) {
            const auto it = lines.find(name);
            if (it == lines.end() || it->second.points.empty()) {
                report.error(s.border_line, "frontiere",
                             w1252("ligne de frontière non définie : ") + name);
                known = false;
            } else {
                chained.push_back(&it->second);
            }
        }
        if (s.border.empty()) report.error(s.line, "frontiere", s.name + w1252(" : pas de BORDER"));
        if (!known) continue;
        if (chained.size() == 1 && chained[0]->circle) {
            sized.push_back({kPi * chained[0]->radius_nm * chained[0]->radius_nm, &s});
            continue;
        }
        const auto points = border_chain(chained);
        if (!points) {
            report.error(s.border_line, "frontiere",
                         s.name + w1252(" : frontière qui ne se ferme pas"));
            continue;
        }
        sized.push_back({chain_area_nm2(*points), &s});
    }
    size_t largest = 0;  // the largest sector so far
    for (size_t i = 1; i < sized.size(); ++i) {
        if (sized[largest].first > sized[i].first * 1.001)
            report.warning(
                sized[i].second->line, "ordre",
                sized[i].second->name + w1252(" plus petit que ") + sized[largest].second->name +
                    w1252(", défini avant lui : le client cherche les secteurs dans leur ordre"));
        if (sized[i].first > sized[largest].first) largest = i;
    }
}

}  // namespace

void check_companion_file(const std::string& path, const SectorDefinitions& sector,
                          std::vector<Finding>& out) {
    const std::vector<Line> lines = check::read_lines(path, ';', false, out);
    const Reporter report{path, out};
    CompanionCheck c{report, sector, {}, {}, {}, {}, nullptr};
    for (const auto& p : sector.points)
        if (p.section == "[AIRPORT]") c.airports.insert(p.name);
    // Positions first: an owner may name one defined further down.
    for (const Line& l : lines)
        if (l.section == "[POSITIONS]" && l.text[0] != '[') c.position(l);
    for (const Line& l : lines) {
        if (l.text[l.text.find_first_not_of(" \t")] == '[') {
            if (!kCompanionSections.count(l.section))
                report.warning(l.number, "section", w1252("section inconnue : ") + l.section);
            continue;
        }
        if (l.section == "[SIDSSTARS]")
            c.procedure(l);
        else if (l.section == "[AIRSPACE]")
            c.airspace(l);
        else if (l.section == "[FREETEXT]") {
            const auto f = check::fields(l.text);
            if (f.size() < 3)
                report.error(l.number, "champs", w1252("[FREETEXT] : LAT:LON:texte attendu"));
            else
                c.point(l, f[0], f[1]);
        } else if (l.section.empty()) {
            report.warning(l.number, "section", w1252("texte avant la première section"));
        }
    }
    c.borders();
}

}  // namespace karvel
